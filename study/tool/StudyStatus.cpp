#include "StudyStatus.h"

#include "FolderLock.h"
#include "Outputs.h"
#include "RunTool.h"
#include "Study.h"
#include "StudyFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>

namespace studytool {

namespace fs = std::filesystem;
using study::Json;

namespace {

// What one folder of results holds.
struct Results {
    fs::path folder;
    Json record;                // study.json
    study::Study study;
    study::Shard shard;
    long long done = 0, total = 0;
    bool summarised = false;    // summary.json written
    bool interrupted = false;   // and it says the study was stopped
    bool complete() const { return done == total && (summarised || !shard.whole()) && !interrupted; }
};

std::optional<Json> ReadJson(const fs::path& file)
{
    // Only a regular file: a FIFO in its place would keep status waiting.
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    try {
        return Json::parse(text.str());
    } catch (const Json::exception&) {
        return std::nullopt;
    }
}

// The results in the folder, when study.json names a study.
std::optional<Results> Read(const fs::path& folder)
{
    const auto record = ReadJson(folder / study::StudyFile);
    if (!record || !record->is_object())
        return std::nullopt;
    Results r;
    r.folder = folder;
    r.record = *record;
    if (!record->contains("study"))
        return std::nullopt;
    if (record->contains("shard")) {
        const auto shard = (*record)["shard"].is_string()
            ? study::ParseShard((*record)["shard"].get<std::string>()) : std::nullopt;
        if (!shard)
            return std::nullopt;
        r.shard = *shard;
    }
    try {
        r.study = study::ParseStudy((*record)["study"], {{}, runtool::ExecutableDirectory(), false});
    } catch (const study::StudyError&) {
        return std::nullopt;
    }
    r.total = study::ShardRunCount(r.study.RunCount(), r.shard);
    // What a resume would keep: a runs.csv that is not this study's table keeps nothing.
    const study::FolderRows rows = study::ReadFolderRows(folder / study::RunsFile, r.study, r.shard);
    r.done = rows.table.foreign ? 0 : static_cast<long long>(rows.table.rows.size());
    if (const auto summary = ReadJson(folder / study::SummaryFile)) {
        r.summarised = true;
        r.interrupted = summary->value("interrupted", false);
    }
    return r;
}

std::string State(const Results& r)
{
    if (r.complete())
        return "закончено";
    // A process holds the folder while it works in it; the lock file names it and goes when it ends.
    std::ifstream lock(r.folder / study::LockFile);
    if (lock) {
        std::string pid;
        lock >> pid;
        std::error_code ec;
        if (!pid.empty() && fs::exists("/proc/" + pid, ec))
            return "идет (процесс " + pid + ")";
        return "идет на другом узле или оборвано (процесс " + (pid.empty() ? "?" : pid) + ")";
    }
    return "прервано";
}

const char* const Usage = "Запуск: gyro-study status ПАПКА\n";

} // namespace

int StatusCommand(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    if (argc == 3 && (std::string_view(argv[2]) == "--help" || std::string_view(argv[2]) == "-h")) {
        out << Usage << "\nСостояние исследования в ПАПКЕ (или его частей в ее подпапках): расчетов сделано из\n"
               "скольких, какие части не закончены или не начаты. Код завершения: 0 - все расчеты сделаны,\n"
               "2 - папки нет, 3 - не закончено.\n";
        return 0;
    }
    if (argc != 3 || std::string_view(argv[2]).starts_with("-")) {
        err << "gyro-study: status: ожидается одна папка результатов\n" << Usage;
        return 2;
    }
    const std::string name = argv[2];
    const fs::path folder = name;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        err << "gyro-study: status: " << name << ": папки нет\n";
        return 2;
    }
    const auto whole = Read(folder);
    if (whole && whole->shard.whole()) {
        out << name << ": расчетов " << whole->done << " из " << whole->total << ", " << State(*whole) << "\n";
        if (whole->complete())
            return 0;
    }

    // The shards below the folder, by their number; the first found names the study.
    std::map<long long, Results> shards;
    std::vector<fs::path> foreign;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (!entry.is_directory(ec))
            continue;
        auto r = Read(entry.path());
        if (!r || r->shard.whole())
            continue;
        const Results* first = shards.empty() ? nullptr : &shards.begin()->second;
        if ((first && (r->record["study"] != first->record["study"] || r->shard.count != first->shard.count))
            || shards.contains(r->shard.index)) {
            foreign.push_back(entry.path());
            continue;
        }
        shards.emplace(r->shard.index, std::move(*r));
    }
    if (shards.empty()) {
        if (!whole)
            out << name << ": ни исследования, ни его частей (папок со study.json) пока нет\n";
        return ExitIncomplete;
    }
    const long long count = shards.begin()->second.shard.count;
    long long done = 0, total = 0;
    std::string unfinished;
    for (long long k = 1; k <= count; ++k) {
        out << "  часть " << k << "/" << count << ": ";
        const auto found = shards.find(k);
        if (found == shards.end()) {
            out << "нет\n";
        } else {
            const Results& r = found->second;
            out << "расчетов " << r.done << " из " << r.total << ", " << State(r) << " (" << r.folder.string() << ")\n";
            done += r.done;
            total += r.total;
            if (r.complete())
                continue;
        }
        unfinished += (unfinished.empty() ? "" : ",") + std::to_string(k);
    }
    for (const fs::path& path : foreign)
        out << "  " << path.string() << ": часть другого исследования или повтор, не учтена\n";
    out << name << ": частей " << count << ", расчетов " << done << " из "
        << shards.begin()->second.study.RunCount() << "\n";
    if (!unfinished.empty()) {
        out << "Не закончены части " << unfinished << " из " << count << "\n";
        return ExitIncomplete;
    }
    if (!whole)
        out << "Все части закончены; объединить: gyro-study merge --out " << name << " ПАПКИ_ЧАСТЕЙ...\n";
    return 0;
}

} // namespace studytool
