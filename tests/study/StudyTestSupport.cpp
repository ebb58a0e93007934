#include "StudyTestSupport.h"

#include "LaneRunEvaluator.h"

#include <fstream>
#include <sstream>

namespace studytest {

study::Study Parse(const std::string& json)
{
    return study::ParseStudy(study::ParseStudyText(json), {GYRO_EXAMPLES_DIR, GYRO_BIN_DIR, true});
}

study::Study ParseExample(const std::string& name)
{
    return Parse(ReadAll(std::string(GYRO_EXAMPLES_DIR) + name + ".json"));
}

std::vector<study::RunOutcome> RunAll(const study::Study& s, int workers, bool lanes)
{
    std::vector<long long> runs;
    for (long long k = 0; k < s.RunCount(); ++k)
        runs.push_back(k);
    study::RunnerOptions options;
    options.workers = workers;
    if (lanes) {
        options.batch = study::LaneBatch;
        options.evaluators = study::MakeLaneRunEvaluator;
    }
    return study::RunStudy(s, runs, options);
}

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::filesystem::path FreshFolder(const std::string& name)
{
    const auto folder = std::filesystem::temp_directory_path() / ("gyro_study_test_" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace studytest
