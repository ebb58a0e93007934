// gyro-study end to end: the same results whatever the number of workers and however the
// study is split into shards (by GNU parallel or a Slurm array), Ctrl+C keeping the rows
// already made, and every kind of bad input refused with exit status 2 and nothing written.
#include "Figures.h"
#include "FigureStream.h"
#include "Outputs.h"
#include "RunTool.h"
#include "StudyTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using studytest::FreshFolder;
using studytest::ReadAll;

extern char** environ;

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

Result Shell(const std::string& command)
{
    const auto out = fs::temp_directory_path() / "gyro_study_out.txt", err = fs::temp_directory_path() / "gyro_study_err.txt";
    const int raw = std::system((command + " >" + out.string() + " 2>" + err.string()).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
}

Result Tool(const std::string& args)
{
    return Shell(std::string(GYRO_STUDY) + " " + args);
}

fs::path Write(const fs::path& path, const std::string& text)
{
    std::ofstream(path) << text;
    return path;
}

// Every file of the folder, by name.
std::map<std::string, std::string> Files(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = ReadAll(entry.path());
    return files;
}

void ExpectSameFolders(const fs::path& a, const fs::path& b)
{
    const auto fa = Files(a), fb = Files(b);
    ASSERT_FALSE(fa.empty());
    EXPECT_EQ(fa.size(), fb.size()) << a << " / " << b;
    for (const auto& [name, bytes] : fa) {
        ASSERT_TRUE(fb.contains(name)) << name << " missing from " << b;
        EXPECT_TRUE(bytes == fb.at(name)) << name << " differs between " << a << " and " << b;
    }
}

const char* GridStudy = R"({"model": "pelisond", "set": {"StopTime": 0.004},
  "grid": {"BaseRate": {"linspace": [-1, 1, 5]}, "DriveFrequency": [60000, 61000]},
  "figures": {"fi": {"series": "Fi", "stat": "amplitude", "frequency": "DriveFrequency", "from": 0.5},
              "drift": {"series": "Drift", "stat": "mean", "from": 0.5}}})";

const char* MonteCarloStudy = R"({"model": "pelisond", "set": {"StopTime": 0.003},
  "montecarlo": {"count": 14, "seed": 7, "vary": {"MassOffsetY1": {"normal": [0, 0.1]},
                 "Mass2": {"uniform": [-0.01, 0.01], "relative": true}}},
  "figures": {"drift": {"series": "Drift", "stat": "mean", "from": 0.5},
              "y2": {"series": "Y2", "stat": "rms"}}})";

// Gimbal runs of different drive frequencies and inner-frame angles sharing lanes.
const char* GimbalStudy = R"({"model": "veltrami", "set": {"StopTime": 0.3},
  "grid": {"MomentBetFrequency": [15, 20, 30], "InitialBet": [0, 0.3]},
  "figures": {"beta": {"series": "Bet", "stat": "amplitude", "frequency": "MomentBetFrequency", "from": 0.3},
              "alpha": {"series": "Alf", "stat": "max"}}})";

} // namespace

// A run's numbers do not depend on how the work is scheduled: every route gives the folder of
// one worker, byte for byte, on both models, with runs of different drive frequencies sharing
// lanes. Shards are merged; GNU parallel and a Slurm array task split the study as --shard does.
TEST(StudyTool, EveryRouteGivesTheSameFilesByteForByte)
{
    const fs::path root = FreshFolder("routes");
    const std::pair<const char*, const char*> studies[] = {{"grid", GridStudy}, {"mc", MonteCarloStudy}, {"gimbal", GimbalStudy}};
    struct Route {
        const char* name;
        const char* args;
        int shards = 0;  // the study split into this many shards, then merged
        int kept = -1;   // resumed: the study cut after this many rows (the next cut mid-line), then run again
    };
    const Route routes[] = {
        {"four workers", "--workers 4"},
        {"one lane", "--workers 1 --lanes 1"},
        {"three workers, one lane", "--workers 3 --lanes 1"},
        {"three shards", "--workers 2", 3},
        {"two shards, one lane", "--workers 1 --lanes 1", 2},
        {"five shards, some empty", "--workers 1", 5},
        {"resumed with runs of other blocks", "--workers 2", 0, 3},
    };
    for (const auto& [name, text] : studies) {
        const fs::path file = Write(root / (std::string(name) + ".json"), text);
        const fs::path reference = root / (std::string(name) + "-1");
        ASSERT_EQ(Tool(file.string() + " --out " + reference.string() + " --workers 1").status, 0) << name;
        for (const Route& route : routes) {
            SCOPED_TRACE(std::string(name) + ": " + route.name);
            const fs::path out = root / (std::string(name) + "-" + route.name);
            if (route.shards == 0) {
                ASSERT_EQ(Tool(file.string() + " --out '" + out.string() + "' " + route.args).status, 0);
                if (route.kept >= 0) {
                    // As a stop leaves it: no summary, rows of a block missing, the last one cut.
                    const std::string rows = ReadAll(out / "runs.csv");
                    std::size_t end = 0;
                    for (int k = 0; k <= route.kept; ++k)
                        end = rows.find('\n', end) + 1;
                    fs::remove(out / "summary.json");
                    fs::resize_file(out / "runs.csv", end + 5);
                    ASSERT_EQ(Tool(file.string() + " --out '" + out.string() + "' " + route.args).status, 0);
                }
            } else {
                std::string parts;
                for (int k = 1; k <= route.shards; ++k) {
                    const fs::path part = out.string() + "-part" + std::to_string(k);
                    const std::string shard = std::to_string(k) + "/" + std::to_string(route.shards);
                    ASSERT_EQ(Tool(file.string() + " --out '" + part.string() + "' --shard " + shard + " " + route.args).status, 0);
                    EXPECT_FALSE(fs::exists(part / "summary.json")) << "a shard summarises only its part";
                    parts += " '" + part.string() + "'";
                }
                ASSERT_EQ(Tool("merge --out '" + out.string() + "'" + parts).status, 0);
            }
            ExpectSameFolders(reference, out);
        }
    }
    const std::string summary = ReadAll(root / "mc-1" / "summary.json");
    EXPECT_NE(summary.find("\"p95\""), std::string::npos);
    EXPECT_TRUE(fs::exists(root / "grid-1" / "fi.svg"));
    EXPECT_EQ(fs::exists(root / "mc-1" / "drift.png"), GYRO_STUDY_WRITES_PNG != 0) << "PNG only where Qt draws it";

    // Three shards by GNU parallel, merged; and shard 2 of the same split as a Slurm array task makes it.
    const fs::path sharded = root / "sharded";
    const std::string env = "GYRO_STUDY=" + std::string(GYRO_STUDY) + " ";
    const Result parallel = Shell(env + "bash " GYRO_EXAMPLES_DIR "parallel-shards.sh " + (root / "mc.json").string() + " "
                                  + sharded.string() + " 3");
    ASSERT_EQ(parallel.status, 0) << parallel.err;
    fs::remove_all(sharded / "shard-1");
    fs::remove_all(sharded / "shard-2");
    fs::remove_all(sharded / "shard-3");
    ExpectSameFolders(root / "mc-1", sharded);

    const fs::path slurm = root / "slurm";
    const Result task = Shell(env + "STUDY=" + (root / "mc.json").string() + " OUT=" + slurm.string()
                              + " SLURM_ARRAY_TASK_ID=2 SLURM_ARRAY_TASK_MAX=3 bash " GYRO_EXAMPLES_DIR
                                "slurm/study-array.sbatch");
    ASSERT_EQ(task.status, 0) << task.err;
    // Shards take whole blocks of four runs: the second of three makes runs 4 to 7.
    const std::string rows = ReadAll(slurm / "shard-2" / "runs.csv");
    EXPECT_EQ(rows.substr(rows.find('\n') + 1, 2), "4,");
    EXPECT_NE(rows.find("\n7,"), std::string::npos);
    EXPECT_EQ(rows.find("\n3,"), std::string::npos);
    EXPECT_EQ(rows.find("\n8,"), std::string::npos);
    // A part alone does not merge: the merge job names the shards missing and how to submit them.
    const Result partial = Shell(env + "OUT=" + slurm.string() + " MERGE=1 bash " GYRO_EXAMPLES_DIR "slurm/study-array.sbatch");
    EXPECT_EQ(partial.status, 1);
    EXPECT_NE(partial.err.find("Не закончены части 1,3 из 3"), std::string::npos) << partial.err;
    EXPECT_NE(partial.err.find("sbatch --array=1,3 "), std::string::npos) << partial.err;
    EXPECT_FALSE(fs::exists(slurm / "runs.csv"));
}

namespace {

// The tool started in the background, its standard error into a file; with a file-size limit
// (in bytes) when one is given.
pid_t Start(const std::vector<std::string>& args, const fs::path& err, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    std::vector<char*> argv{const_cast<char*>(GYRO_STUDY)};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 2);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        execve(GYRO_STUDY, argv.data(), environ);
        _exit(127);
    }
    return pid;
}

// Exit status, or 128 + the signal that ended the process.
int Wait(pid_t pid)
{
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

long long Lines(const fs::path& file)
{
    const std::string text = ReadAll(file);
    return std::count(text.begin(), text.end(), '\n');
}

// Waits until the file holds more than `lines` lines (rows are coming), or the process ended.
void WaitForLines(pid_t pid, const fs::path& file, long long lines)
{
    for (int poll = 0; poll < 60000 && Lines(file) <= lines; ++poll) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// runs.csv holds whole rows of finished runs only, in increasing run order unless a resumed study
// was killed (its rows then follow the earlier ones); returns how many.
long long CheckRows(const fs::path& file, bool ordered = true)
{
    const std::string text = ReadAll(file);
    EXPECT_TRUE(!text.empty() && text.back() == '\n') << "a row cut short";
    std::istringstream rows(text);
    std::string line;
    std::getline(rows, line);
    long long previous = -1, count = 0;
    while (std::getline(rows, line)) {
        const auto row = study::ParseCsvRow(line, 1, 1);
        EXPECT_TRUE(row && (row->run > previous || !ordered)) << line;
        EXPECT_NE(line.find(",ok,"), std::string::npos) << "only finished runs are rows: " << line;
        previous = row ? row->run : previous;
        ++count;
    }
    return count;
}

const char* LongStudy = R"({"model": "pelisond", "set": {"StopTime": 0.002},
  "montecarlo": {"count": 6000, "vary": {"MassOffsetY1": {"normal": [0, 0.1]}}},
  "figures": {"drift": {"series": "Drift", "stat": "mean"}}})";

} // namespace

// A study stopped by each signal a user or a batch system sends, killed outright, its last row cut
// as by a power cut, starved of disk space and run twice at once still ends, resumed, with exactly
// the files of an unbroken study.
TEST(StudyTool, StoppedKilledOrStarvedStudiesResumeToTheSameFiles)
{
    const fs::path root = FreshFolder("resume");
    const fs::path file = Write(root / "long.json", LongStudy), whole = root / "whole", out = root / "out";
    const fs::path rows = out / "runs.csv", err = root / "err.txt";
    ASSERT_EQ(Tool(file.string() + " --out " + whole.string() + " --workers 2").status, 0);
    const std::vector<std::string> args = {file.string(), "--out", out.string(), "--workers", "2"};

    long long kept = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(signal);
        const pid_t pid = Start(args, err);
        WaitForLines(pid, rows, kept + 5);
        if (signal == SIGTERM) {
            // A second process on the folder is turned away at once, naming it.
            const Result second = Tool(file.string() + " --out " + out.string());
            EXPECT_EQ(second.status, 2);
            EXPECT_NE(second.err.find("папка " + out.string() + " занята"), std::string::npos) << second.err;
        }
        kill(pid, signal);
        if (signal == SIGTERM)
            kill(pid, signal); // twice at once, as a process group gets it from timeout or a batch system
        EXPECT_EQ(Wait(pid), 128 + signal) << ReadAll(err);
        const long long count = CheckRows(rows, signal != SIGKILL);
        EXPECT_GT(count, kept) << "the rows made before were kept and more were made";
        EXPECT_LT(count, 6000);
        kept = count;
        if (signal != SIGKILL) {
            const auto summary = study::Json::parse(ReadAll(out / "summary.json"));
            EXPECT_TRUE(summary["interrupted"].get<bool>());
            EXPECT_EQ(summary["finished"].get<long long>(), count);
        }
    }
    // The power cut: the last row written only in part.
    fs::resize_file(rows, fs::file_size(rows) - 9);
    --kept;
    // status counts whole rows only, and tells a folder whose process was killed from a running one.
    const Result status = Tool("status " + out.string());
    EXPECT_EQ(status.status, 3);
    EXPECT_NE(status.out.find("расчетов " + std::to_string(kept) + " из 6000, идет на другом узле или оборвано"),
              std::string::npos) << status.out;
    // A runs.csv that is no file (a FIFO here, endless /dev/zero alike) is read as no rows, without waiting.
    const fs::path fifo = root / "fifo";
    fs::create_directory(fifo);
    fs::copy_file(whole / "study.json", fifo / "study.json");
    ASSERT_EQ(mkfifo((fifo / "runs.csv").c_str(), 0644), 0);
    const Result fifoStatus = Tool("status " + fifo.string());
    EXPECT_EQ(fifoStatus.status, 3);
    EXPECT_NE(fifoStatus.out.find("расчетов 0 из 6000"), std::string::npos) << fifoStatus.out;

    // The disk fills: told at once with exit 1, runs.csv whole rows only; resumed once there is room.
    const rlim_t limit = static_cast<rlim_t>(fs::file_size(rows) + 4000);
    const pid_t starved = Start(args, err, limit);
    EXPECT_EQ(Wait(starved), 1);
    EXPECT_NE(ReadAll(err).find("не удалось записать " + rows.string()), std::string::npos) << ReadAll(err);
    EXPECT_LE(fs::file_size(rows), limit);
    EXPECT_GT(CheckRows(rows, false), kept);

    const Result resumed = Tool(file.string() + " --out " + out.string() + " --workers 3");
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    ExpectSameFolders(whole, out);
    ExpectSameFolders(out, whole);

    // A finished folder is left as it is; --restart makes it again, to the same files.
    const auto written = fs::last_write_time(out / "summary.json");
    EXPECT_EQ(Tool(file.string() + " --out " + out.string()).status, 0);
    EXPECT_EQ(fs::last_write_time(out / "summary.json"), written);
    EXPECT_EQ(Tool(file.string() + " --out " + out.string() + " --restart --workers 1").status, 0);
    EXPECT_NE(fs::last_write_time(out / "summary.json"), written);
    EXPECT_EQ(ReadAll(out / "summary.json"), ReadAll(whole / "summary.json"));
}

TEST(StudyTool, BadInputIsRefusedNamingThePlaceWithNothingWritten)
{
    const fs::path root = FreshFolder("bad");
    const fs::path other = root / "other";
    fs::create_directories(other);
    Write(other / "study.json", "{\"study\": {\"model\": \"veltrami\"}}\n");
    Write(root / "empty.dat", "");
    Write(root / "cut.dat", "0.000003,0.00003,0.119\n");
    const fs::path fifo = root / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    struct Row {
        const char* what;
        std::string study;
        const char* args;
        std::string message;
        fs::path file = {};  // read instead of the study text
    };
    const std::string deep = std::string(60000, '[') + std::string(60000, ']');
    const Row rows[] = {
        {"unknown model", R"({"model": "gyro", "grid": {"Step": [1]}})", "", "«model»: неизвестная модель 'gyro'"},
        {"unknown field", R"({"model": "pelisond", "grid": {"BaseRat": [1]}})", "", "«grid.BaseRat»: неизвестное поле"},
        {"unknown set field", R"({"model": "veltrami", "set": {"H": 1}, "grid": {"Mass": [1]}})", "", "«set.H»"},
        {"unknown series", R"({"model": "pelisond", "grid": {"BaseRate": [1]}, "figures": {"f": {"series": "Phi", "stat": "max"}}})",
         "", "«figures.f.series»: неизвестная серия 'Phi'"},
        {"unknown statistic", R"({"model": "pelisond", "grid": {"BaseRate": [1]}, "figures": {"f": {"series": "Fi", "stat": "median"}}})",
         "", "«figures.f.stat»"},
        {"frequency missing", R"({"model": "pelisond", "grid": {"BaseRate": [1]}, "figures": {"f": {"series": "Fi", "stat": "phase"}}})",
         "", "«figures.f.frequency»"},
        {"unknown distribution", R"({"model": "pelisond", "montecarlo": {"count": 2, "vary": {"BaseRate": {"lognormal": [0, 1]}}}})",
         "", "«montecarlo.vary.BaseRate.lognormal»: неизвестное распределение"},
        {"malformed linspace", R"({"model": "pelisond", "grid": {"BaseRate": {"linspace": [0, 1]}}})", "",
         "«grid.BaseRate.linspace»"},
        {"logspace through zero", R"({"model": "pelisond", "grid": {"BaseRate": {"logspace": [0, 1, 3]}}})", "",
         "«grid.BaseRate.logspace»"},
        {"grid and montecarlo", R"({"model": "pelisond", "grid": {"BaseRate": [1]}, "montecarlo": {"count": 1}})", "",
         "«montecarlo»"},
        {"over a million runs", R"({"model": "pelisond", "montecarlo": {"count": 1000001, "vary": {"BaseRate": {"normal": [0, 1]}}}})",
         "", "«montecarlo.count»: исследование из 1000001 расчетов"},
        {"not JSON", "{\"model\": \"pelisond\",\n \"grid\" {}}", "", "строке 2"},
        {"another study's folder", R"({"model": "pelisond", "grid": {"BaseRate": [1]}})", "OTHER", "другого исследования"},
        {"bad shard", R"({"model": "pelisond", "grid": {"BaseRate": [1]}})", "--shard 3/2", "--shard"},
        {"bad lanes", R"({"model": "pelisond", "grid": {"BaseRate": [1]}})", "--lanes 3", "--lanes: ожидается 1 или 4"},
        {"number beyond double", R"({"model": "pelisond", "grid": {"BaseRate": [1, 1e999]}})", "",
         "«grid.BaseRate[1]»: число вне диапазона"},
        {"1e400 in set", R"({"model": "pelisond", "set": {"StopTime": -1e400}})", "", "«set.StopTime»: число вне диапазона"},
        {"key given twice", R"({"model": "pelisond", "grid": {"BaseRate": [1]}, "model": "veltrami"})", "",
         "«model»: ключ задан дважды"},
        {"nested 60000 deep", R"({"model": "pelisond", "set": )" + deep + "}", "", "«set[0][0][0]"},
        {"10^8 values without --yes", R"({"model": "pelisond", "grid": {"BaseRate": {"linspace": [0, 1, 100000000]}}})", "",
         "«grid»: исследование из 100000000 расчетов"},
        {"over 1 MiB", std::string(study::MaxStudyFileBytes + 1, ' '), "", "больше 1 МиБ"},
        {"a directory", "", "", "это не обычный файл (каталог)", root},
        {"a device", "", "", "/dev/zero: это не обычный файл", "/dev/zero"},
        {"a FIFO", "", "", "fifo: это не обычный файл", fifo},
        {"base not a parameter file", R"({"model": "pelisond", "base": "/etc/passwd"})", "",
         "«base»: /etc/passwd: в начале файла нет ни одного числа"},
        {"base empty", R"({"model": "pelisond", "base": "empty.dat"})", "", "«base»: " + (root / "empty.dat").string()},
        {"base cut short, --strict", R"({"model": "pelisond", "base": "cut.dat"})", "--strict",
         "«base»: в файле данных " + (root / "cut.dat").string() + " прочитано 3 чисел из 30; поле 4 ("},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path file = row.file.empty() ? Write(root / "study.json", row.study) : row.file;
        const bool intoOther = std::string(row.args) == "OTHER";
        const fs::path out = intoOther ? other : root / "out";
        const Result r = Tool(file.string() + " --out " + out.string() + " " + (intoOther ? "" : row.args));
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        if (intoOther)
            EXPECT_EQ(Files(other).size(), 1u);
        else
            EXPECT_FALSE(fs::exists(out));
    }
}

// A study that varies nothing is one run of the base and "set"; one none of whose runs finishes
// still writes its rows and summary, and says so by its exit status. A base cut short is named.
TEST(StudyTool, OneRunStudyAndAStudyWithoutAFinishedRun)
{
    const fs::path root = FreshFolder("edge");
    const fs::path single = Write(root / "single.json", R"({"model": "pelisond", "set": {"StopTime": 0.002},
      "figures": {"drift": {"series": "Drift", "stat": "mean"}}})");
    const Result one = Tool(single.string() + " --out " + (root / "one").string());
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(ReadAll(root / "one" / "runs.csv").substr(0, 31), "run,status,message,drift\n0,ok,,");
    EXPECT_EQ(study::Json::parse(ReadAll(root / "one" / "summary.json"))["ok"], 1);
    // A shard past the last run, of a count near the largest number, makes an empty table.
    const Result beyond = Tool(single.string() + " --out " + (root / "beyond").string()
                               + " --shard 9223372036854775806/9223372036854775807");
    EXPECT_EQ(beyond.status, 0) << beyond.err;
    EXPECT_EQ(ReadAll(root / "beyond" / "runs.csv"), "run,status,message,drift\n");

    Write(root / "cut.dat", "0.000003,0.00003,0.119\n");
    const fs::path cut = Write(root / "cut.json", R"({"model": "pelisond", "base": "cut.dat", "grid": {"BaseRate": [1, 2]},
      "figures": {"drift": {"series": "Drift", "stat": "mean"}}})");
    const Result none = Tool(cut.string() + " --out " + (root / "none").string());
    EXPECT_EQ(none.status, 3);
    EXPECT_NE(none.err.find("предупреждение: " + cut.string() + ": «base»: в файле данных"), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("поле 4 ("), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("ни один расчет не закончился"), std::string::npos) << none.err;
    EXPECT_EQ(Lines(root / "none" / "runs.csv"), 3);
    const auto summary = study::Json::parse(ReadAll(root / "none" / "summary.json"));
    EXPECT_EQ(summary["ok"], 0);
    EXPECT_EQ(summary["refused"], 2);
}

// A run tool's samples give exactly the figures of the study's run with the same parameters,
// though the study made that run in a lane beside runs of other drive frequencies.
TEST(StudyTool, ARunToolGivesTheStudysRunOfTheSameParameters)
{
    const fs::path root = FreshFolder("runtool");
    const struct {
        const char* tool;
        const char* study;
        long long run;
    } rows[] = {{"pelisond-run", GridStudy, 3}, {"veltrami-run", GimbalStudy, 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tool);
        const fs::path file = Write(root / "study.json", row.study), out = root / row.tool;
        ASSERT_EQ(Tool(file.string() + " --out " + out.string()).status, 0);
        const study::Study s = study::ParseStudy(study::ParseStudyText(row.study), {{}, GYRO_BIN_DIR, true});
        std::istringstream csv(ReadAll(out / "runs.csv"));
        std::string line;
        for (long long k = 0; k <= row.run + 1; ++k)
            std::getline(csv, line);
        const auto studyRun = study::ParseCsvRow(line, s.VariedFields().size(), s.figures.size());
        ASSERT_TRUE(studyRun && studyRun->run == row.run) << line;

        std::string sets;
        for (const auto& [field, value] : s.source["set"].items())
            sets += " --set " + field + "=" + runtool::FormatNumber17(value.get<double>());
        const auto fields = s.VariedFields();
        for (std::size_t j = 0; j < fields.size(); ++j)
            sets += " --set " + fields[j] + "=" + runtool::FormatNumber17(studyRun->values[j]);
        const Result samples = Shell(std::string(GYRO_BIN_DIR) + row.tool + sets);
        ASSERT_EQ(samples.status, 0) << samples.err;

        std::istringstream table(samples.out);
        std::getline(table, line);
        std::vector<double> t;
        std::vector<std::vector<double>> series;
        while (std::getline(table, line)) {
            std::istringstream cells(line);
            std::string cell;
            std::getline(cells, cell, ',');
            std::getline(cells, cell, ',');
            t.push_back(std::stod(cell));
            for (std::size_t k = 0; std::getline(cells, cell, ','); ++k) {
                series.resize(std::max(series.size(), k + 1));
                series[k].push_back(std::stod(cell));
            }
        }
        const double stopTime = s.source["set"]["StopTime"].get<float>();
        for (std::size_t f = 0; f < s.figures.size(); ++f) {
            const study::Figure& figure = s.figures[f];
            double w = figure.frequency;
            for (std::size_t j = 0; j < fields.size(); ++j)
                if (figure.frequencyField == s.VariedIndices()[j])
                    w = studyRun->values[j];
            // Taken as a study takes them, sample by sample.
            study::FigureStream stream(figure.stat, figure.from * stopTime, w, stopTime);
            const auto& v = series.at(static_cast<std::size_t>(figure.seriesIndex));
            for (std::size_t k = 0; k < t.size(); ++k)
                stream.Add(t[k], v[k]);
            const double value = stream.Value();
            EXPECT_TRUE(value == studyRun->figures[f] || (std::isnan(value) && std::isnan(studyRun->figures[f])))
                << figure.name << " " << value << " " << studyRun->figures[f];
        }
    }
}
