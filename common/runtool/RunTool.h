#pragma once

#include "DataFileReader.h"
#include "RunStatus.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// The command-line side shared by the headless run tools: arguments, exit statuses,
// the CSV of recorded samples and the JSON summary. Each tool describes its model in a
// RunToolModel and hands it to RunToolMain.
namespace runtool {

enum ExitStatus { ExitOk = 0, ExitError = 1, ExitUsage = 2, ExitDiverged = 3, ExitInterrupted = 4, ExitTimeLimit = 5 };

// A minimal JSON writer for the summary: objects, numbers (17 significant digits, null when
// not finite), integers and strings.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    void BeginObject(std::string_view key = {});
    void EndObject();
    void Number(std::string_view key, double value);
    void Integer(std::string_view key, long long value);
    void String(std::string_view key, std::string_view value);

private:
    void Key(std::string_view key);
    std::ostream& out_;
    std::vector<bool> first_{};
    int depth_ = 0;
};

// Text of a number with 17 significant digits, independent of the process locale.
std::string FormatNumber17(double value);

struct RunToolModel {
    std::string program;         // e.g. "veltrami-run"
    std::string dataFileName;    // looked up beside the executable when no file is given
    std::string missingMessage;  // the model's "Can't find data" text
    std::string description;     // one paragraph for --help

    // The parameters in file order: names as --set takes them, labels as the windows show
    // them, and the field itself.
    std::vector<std::string> fieldNames;
    std::vector<std::string> fieldLabels;
    std::function<float&(std::size_t k)> field;

    // Loads the data file.
    std::function<datafile::LoadReport(const std::string& path)> load;
    // Writes every field as displayed and reads it back.
    std::function<void()> roundTrip;
    // Model time at the start and at the end of a run with the current parameters.
    std::function<double()> startTime;
    std::function<double()> stopTime;
    // Sizes the series and calculates; cancel is asked now and then whether to stop.
    std::function<RunStatus(const std::function<bool(double time)>& cancel)> run;

    std::vector<std::string> csvColumns;  // after "sample,t"
    std::function<int()> recorded;
    // Time and the csvColumns' values of recorded sample i.
    std::function<void(int i, double& time, std::vector<double>& values)> sample;
    // Fields of the summary after SampleCount, Capacity, Recorded and StepsPerSample.
    std::function<long long()> sampleCount;
    std::function<long long()> capacity;
    std::function<long long()> stepsPerSample;
    std::function<void(JsonWriter&)> summaryBody;
};

// Directory of the running executable, with a trailing separator.
std::string ExecutableDirectory();

// Parses the arguments, runs the model and writes CSV or the summary. Returns the exit status.
int RunToolMain(int argc, char** argv, const RunToolModel& model, std::ostream& out, std::ostream& err);

} // namespace runtool
