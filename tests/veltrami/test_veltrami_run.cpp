// veltrami-run end to end: the built tool on temporary data files, its exit statuses,
// its CSV against the model run in-process, and its summary's counting fields.
#include "GimbalModel.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the tool with args, after prefix (a command that runs it, such as timeout).
Result RunTool(const std::string& args, const std::string& prefix = "")
{
    const auto dir = std::filesystem::temp_directory_path();
    const auto out = dir / "veltrami_run_out.txt", err = dir / "veltrami_run_err.txt";
    const std::string command = prefix + std::string(VELTRAMI_RUN) + " " + args + " >" + out.string() + " 2>" + err.string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
}

std::string DataFile(const std::string& name, const std::string& text)
{
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path) << text;
    return path.string();
}

const char* NominalText = "0.1,0.1,12,1,0.01,0.01,10,0.0003,0.0004,0.0002,0.0002,0.0003,0.0015,1,0,4,20,0,20,0,0,1.125,0,0,0,0,0";
const char* ShortRunText = "0.0001,0.01,0.5,1,0.01,0.01,10,0.0003,0.0004,0.0002,0.0002,0.0003,0.0015,1,0.002,4,20,1.5,15,0.02,0.01,1.125,0,0.1,0,0.123456,0.2";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(VeltramiRun, NominalStepDivergesWithTheCountingRulesInTheSummary)
{
    const Result r = RunTool("--summary " + DataFile("vr_nominal.dat", NominalText));
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("\"StepsPerSample\": 1,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Capacity\": 219,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"SampleCount\": 119,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Recorded\": 2,"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("разошелся"), std::string::npos) << r.err;
}

TEST(VeltramiRun, CsvHoldsExactlyTheModelsRecordedSamples)
{
    const std::string path = DataFile("vr_short.dat", ShortRunText);
    const Result r = RunTool(path);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "sample,t,AlfDot,BetDot,Alf,Bet,MomentBet,MomentAlf");

    veltrami::GimbalModel model;
    ASSERT_TRUE(model.LoadParameters(path));
    veltrami::RoundTripThroughDisplay(model.Params);
    EXPECT_EQ(model.Params.InitialAlf, 0.123f);
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    ASSERT_EQ(int(lines.size()), model.Recorded() + 1);
    for (int k = 0; k < model.Recorded(); k += 5) {
        std::istringstream row(lines[k + 1]);
        std::string cell;
        std::vector<double> v;
        while (std::getline(row, cell, ','))
            v.push_back(std::strtod(cell.c_str(), nullptr));
        ASSERT_EQ(v.size(), 8u) << lines[k + 1];
        EXPECT_EQ(v[0], k);
        EXPECT_EQ(v[1], model.Time[k]);
        EXPECT_EQ(v[2], model.AlfDot[k]);
        EXPECT_EQ(v[5], model.Bet[k]);
        EXPECT_EQ(v[6], model.MomentBet[k]);
        EXPECT_EQ(v[7], model.MomentAlf[k]);
    }
}

TEST(VeltramiRun, ShippedDataFileBesideTheToolRunsToTheEnd)
{
    const Result r = RunTool("--summary");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"SampleCount\": 1200,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"StepsPerSample\": 100,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Step\": 9.999999747378752e-05,"), std::string::npos) << r.out;
}

TEST(VeltramiRun, FailuresGiveTheirExitStatusesAndMessages)
{
    // prefix: what runs the tool, such as a shell that sends its output nowhere.
    struct Row { std::string args; int status; std::string inErr; const char* inOut; std::string prefix = ""; };
    const std::string bad = DataFile("vr_badstep.dat", std::string("0,") + (NominalText + 4));
    const std::string good = DataFile("vr_short2.dat", ShortRunText);
    std::string shortText = ShortRunText;
    const std::string stopped = DataFile("vr_stopped.dat", shortText.erase(shortText.rfind(',')));
    std::string hugeText = ShortRunText;
    const std::string huge = DataFile("vr_huge.dat", hugeText.replace(hugeText.find(",1,"), 3, ",1e39,"));
    const std::string notes = DataFile("vr_notes.txt", "Параметры гироскопа: шаг 0.1 с");
    // Days of steps and not one sample before a limit ends it.
    const std::string endless = "--set StopTime=1e7 --set PrintStep=1e6 " + good;
    const std::string lostOutput = "sh -c 'exec \"$0\" \"$@\" >/dev/full' ", closedOutput = "sh -c 'exec \"$0\" \"$@\" >&-' ";
    const Row rows[] = {
        {"/nonexistent/veltrami.dat", 1, "Can't find data: /nonexistent/veltrami.dat", ""},
        {bad, 1, "Шаг расчета", ""},
        {"--bogus", 2, "неизвестный ключ", ""},
        {good + " " + good, 2, "только один файл данных", ""},
        {"--help", 0, "", "Код завершения"},
        {"--set Bogus=1 " + good, 2, "неизвестное поле 'Bogus'", ""},
        {"--set Step=abc " + good, 2, "is not a valid floating point value", ""},
        {"--set", 2, "ПОЛЕ=ЗНАЧЕНИЕ", ""},
        {"--summary --set KineticMoment=0.5 " + good, 0, "", "\"KineticMoment\": 0.5,"},
        {"--summary --set InitialTime=-2 --set StopTime=-1 " + good, 0, "", "\"Capacity\": 0,"},
        {huge, 1, "«Масса гироскопа, кг»", ""},
        {"--set Mass=1e39 " + good, 1, "«Масса гироскопа, кг»", ""},
        {"--summary --set InitialTime=1 --set StopTime=2 --set Step=3e-16 " + good, 1, "слишком мал", ""},
        {"--set InertiaEquatorial=0 --set InnerInertiaX1=0 " + good, 1, "«Экваториальный момент инерции", ""},
        {"/dev/zero", 1, "не обычный файл", ""},
        {notes, 1, "не файл параметров", ""},
        {"--summary " + stopped, 0, "предупреждение: в файле данных " + stopped + " прочитано 26 чисел из 27; поле 27 (InitialBet)", "\"InitialBet\": 0"},
        {"--strict " + stopped, 1, "ошибка: в файле данных", ""},
        {"--max-seconds 0.3 " + endless, 5, "остановлен по --max-seconds", "sample,t,AlfDot"},
        {"--max-seconds -1 " + good, 2, "--max-seconds", ""},
        {"--set PrintStep=1e10 --set Step=1e-9 " + good, 1, "более чем в 9·10^18 раз", ""},
        {good, 1, "не удалось записать результаты в стандартный вывод", "", lostOutput},
        {"--summary " + good, 1, "не удалось записать результаты в стандартный вывод", "", closedOutput},
    };
    for (const Row& row : rows) {
        const Result r = RunTool(row.args, row.prefix);
        EXPECT_EQ(r.status, row.status) << row.args << "\n" << r.err;
        EXPECT_NE(r.err.find(row.inErr), std::string::npos) << row.args << "\n" << r.err;
        EXPECT_NE(r.out.find(row.inOut), std::string::npos) << row.args << "\n" << r.out;
    }

    // Ctrl+C or SIGTERM ends the run cleanly: what was recorded is written, with its own status.
    const Result r = RunTool(endless, "timeout --preserve-status -s TERM 2 ");
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find("остановлен сигналом"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.rfind("sample,t,AlfDot", 0), 0u) << r.out;
}
