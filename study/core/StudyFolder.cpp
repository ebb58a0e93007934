#include "StudyFolder.h"

#include "StudyChecks.h"

#include "FolderLock.h"
#include "Runner.h"
#include "RunsTable.h"

#include <algorithm>

namespace study {

namespace fs = std::filesystem;

namespace {

std::string Dump(const Json& j)
{
    return j.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

FolderResult Failed(FolderStatus status, std::string message)
{
    FolderResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

// Empty when the folder is new, empty, or holds this very study; otherwise why it cannot take it.
std::string ForeignFolder(const fs::path& folder, const Json& record)
{
    std::error_code ec;
    if (!fs::exists(folder, ec))
        return {};
    if (!fs::is_directory(folder, ec))
        return folder.string() + ": это не папка";
    const fs::path studyFile = folder / StudyFile;
    fs::path evidence;
    if (fs::exists(studyFile, ec)) {
        Json existing;
        try {
            existing = ParseStudyText(ReadStudyFile(studyFile.string()), MaxStudyDepth + 1);
        } catch (const StudyError&) {
            existing = nullptr;
        }
        if (existing == record)
            return {};
        evidence = studyFile;
    }
    for (const char* name : {RunsFile, SummaryFile})
        if (evidence.empty() && fs::exists(folder / name, ec))
            evidence = folder / name;
    if (evidence.empty())
        return {};
    return folder.string() + ": папка содержит результаты другого исследования (" + evidence.string()
           + "); укажите другую папку";
}

// Makes the folder if need be and holds it; checks what it holds again once no one else can
// change it. Empty result message when taken.
FolderResult TakeFolder(const fs::path& folder, const Json& record, FolderLock& lock)
{
    if (std::string foreign = ForeignFolder(folder, record); !foreign.empty())
        return Failed(FolderStatus::Refused, std::move(foreign));
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        return Failed(FolderStatus::WriteFailed, "не удалось создать папку " + folder.string() + ": " + ec.message());
    FolderResult result;
    switch (lock.Take(folder, result.message)) {
    case FolderLock::Outcome::Held:
        result.message.clear();
        break;
    case FolderLock::Outcome::Busy:
        return Failed(FolderStatus::Refused, std::move(result.message));
    case FolderLock::Outcome::Unsupported:
        result.notes.push_back("папку нельзя заблокировать (" + result.message
                               + "): не запускайте в нее второй процесс, пока работает этот");
        result.message.clear();
        break;
    case FolderLock::Outcome::Failed:
        return Failed(FolderStatus::WriteFailed, "не удалось занять папку: " + result.message);
    }
    if (std::string foreign = ForeignFolder(folder, record); !foreign.empty())
        return Failed(FolderStatus::Refused, std::move(foreign));
    // A file being replaced when the last holder was killed.
    for (const char* name : {RunsFile, SummaryFile, StudyFile})
        fs::remove(TemporaryFor(folder / name), ec);
    if (!fs::exists(folder / StudyFile, ec)) {
        std::string message;
        if (!ReplaceFile(folder / StudyFile, Dump(record), message))
            return Failed(FolderStatus::WriteFailed, std::move(message));
    }
    return result;
}

// Whether summary.json says the study it describes finished.
bool SummarySaysFinished(const fs::path& path)
{
    try {
        const Json summary = ParseStudyText(ReadStudyFile(path.string()));
        return summary.is_object() && summary.contains("interrupted") && summary.at("interrupted") == false;
    } catch (const StudyError&) {
        return false;
    }
}

bool AnyOk(std::span<const RunOutcome> rows)
{
    return std::any_of(rows.begin(), rows.end(), [](const RunOutcome& r) { return r.kind == RunStatus::Kind::Finished; });
}

std::string Table(const Study& study, std::span<const RunOutcome> rows)
{
    std::string text = CsvHeader(study) + "\n";
    for (const RunOutcome& row : rows)
        text += CsvRow(row) + "\n";
    return text;
}

// The pictures, then summary.json: a summary that says finished is the folder's last word.
void WriteSummary(const Study& study, const fs::path& folder, bool interrupted, const FolderOptions& options,
                  FolderResult& result)
{
    if (options.writePlots) {
        const std::string failed = options.writePlots(study, result.rows);
        if (!failed.empty()) {
            result.status = FolderStatus::WriteFailed;
            result.message = "не удалось записать " + failed;
            return;
        }
    }
    std::optional<StepCheck> stepCheck;
    if (options.checkStep && !interrupted) {
        RunnerOptions runner;
        runner.workers = options.workers;
        runner.stop = options.stop;
        stepCheck = CheckStep(study, result.rows, runner);
        // A step check stopped part way leaves the study interrupted: not all that was asked is done.
        interrupted = options.stop && options.stop->load();
    }
    result.summary = Summary(study, result.rows, interrupted, stepCheck ? &*stepCheck : nullptr);
    if (!ReplaceFile(folder / SummaryFile, Dump(result.summary), result.message)) {
        result.status = FolderStatus::WriteFailed;
        return;
    }
    result.status = interrupted ? FolderStatus::Stopped : AnyOk(result.rows) ? FolderStatus::Finished
                                                                           : FolderStatus::NoRunFinished;
}

} // namespace

FolderRows ReadFolderRows(const fs::path& runsPath, const Study& study, const Shard& shard)
{
    const long long runCount = study.RunCount();
    FolderRows result;
    // Those of this study's runs up to the first line that is not one.
    RunsFound& found = result.table;
    found = ReadRunsTable(runsPath, CsvHeader(study), study.VariedFields().size(), study.figures.size(),
                          [&](const RunOutcome& row) {
                              return row.run < runCount && NextShardRun(row.run, runCount, shard) == row.run;
                          });
    std::vector<RunOutcome>& kept = found.rows;
    // In order unless a resumed run was itself stopped (its rows follow the earlier ones).
    result.ordered = std::is_sorted(kept.begin(), kept.end(), [](const auto& x, const auto& y) { return x.run < y.run; });
    std::stable_sort(kept.begin(), kept.end(), [](const auto& x, const auto& y) { return x.run < y.run; });
    const auto repeated = std::unique(kept.begin(), kept.end(), [](const auto& x, const auto& y) { return x.run == y.run; });
    found.dropped += kept.end() - repeated;
    result.ordered = result.ordered && repeated == kept.end();
    kept.erase(repeated, kept.end());
    return result;
}

FolderResult RunStudyInFolder(const Study& study, const fs::path& folder, const FolderOptions& options)
{
    const long long runCount = study.RunCount();
    const Shard& shard = options.shard;
    FolderLock lock;
    FolderResult result = TakeFolder(folder, StudyRecord(study, shard), lock);
    if (!result.message.empty())
        return result;
    result.runs = ShardRunCount(runCount, shard);
    const fs::path runsPath = folder / RunsFile, summaryPath = folder / SummaryFile;
    std::error_code ec;
    if (options.restart) {
        fs::remove(summaryPath, ec);
        fs::remove(runsPath, ec);
    }

    const std::string header = CsvHeader(study);
    FolderRows folderRows = ReadFolderRows(runsPath, study, shard);
    RunsFound& found = folderRows.table;
    if (found.foreign)
        return Failed(FolderStatus::Refused, runsPath.string() + ": это не таблица расчетов этого исследования; "
                                                                 "--restart начинает исследование заново");
    std::vector<RunOutcome>& kept = found.rows;
    bool ordered = folderRows.ordered;
    if (found.dropped > 0)
        result.notes.push_back(runsPath.string() + ": отброшено неполных или лишних строк: " + std::to_string(found.dropped)
                               + " (файл оборван при аварийном завершении?); эти расчеты будут сделаны заново");
    result.kept = static_cast<long long>(kept.size());

    const bool complete = result.kept == result.runs;
    if (complete && found.header && found.dropped == 0 && ordered && (!shard.whole() || SummarySaysFinished(summaryPath))) {
        result.untouched = true;
        result.status = shard.whole() && !AnyOk(kept) ? FolderStatus::NoRunFinished : FolderStatus::Finished;
        result.rows = std::move(kept);
        return result;
    }

    RowWriter writer;
    std::string failure;
    if (!writer.Open(runsPath, found.header ? found.wholeBytes : 0, failure)
        || (!found.header && !writer.Append(header, failure))) {
        result.status = FolderStatus::WriteFailed;
        result.message = std::move(failure);
        return result;
    }

    // The shard's runs not yet in the table, made as the workers ask for them.
    long long next = NextShardRun(0, runCount, shard);
    std::size_t skip = 0;
    const RunFeed feed = [&] {
        for (; next < runCount; next = NextShardRun(next + 1, runCount, shard)) {
            while (skip < kept.size() && kept[skip].run < next)
                ++skip;
            if (skip == kept.size() || kept[skip].run != next) {
                const long long run = next;
                next = NextShardRun(next + 1, runCount, shard);
                return run;
            }
        }
        return -1LL;
    };
    RunnerOptions runner;
    runner.workers = std::max(1, options.workers);
    if (options.lanes > 1 && LanesFit(study)) {
        runner.batch = options.lanes;
        runner.evaluators = MakeLaneRunEvaluator;
    }
    runner.stop = options.stop;
    runner.onProgress = options.onProgress;
    std::vector<RunOutcome> made;
    runner.onRow = [&](const RunOutcome& row) {
        if (!writer.Append(CsvRow(row), failure))
            return false;
        made.push_back(row);
        return true;
    };
    if (options.onStart)
        options.onStart(result.runs - result.kept);
    RunStudy(study, feed, runner);
    if (failure.empty())
        writer.Close(failure);

    result.made = static_cast<long long>(made.size());
    ordered = ordered && (kept.empty() || made.empty() || kept.back().run < made.front().run);
    result.rows.reserve(kept.size() + made.size());
    std::merge(std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()),
               std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()), std::back_inserter(result.rows),
               [](const auto& x, const auto& y) { return x.run < y.run; });
    if (!failure.empty()) {
        result.status = FolderStatus::WriteFailed;
        result.message = std::move(failure);
        return result;
    }
    // Rows of a resumed study went after the earlier ones: the table is put back in run order.
    if (!ordered && !ReplaceFile(runsPath, Table(study, result.rows), result.message)) {
        result.status = FolderStatus::WriteFailed;
        return result;
    }
    const bool interrupted = static_cast<long long>(result.rows.size()) < result.runs;
    // A shard's summary would describe a part only: merging the shards writes it.
    if (!shard.whole()) {
        result.status = interrupted ? FolderStatus::Stopped : FolderStatus::Finished;
        return result;
    }
    WriteSummary(study, folder, interrupted, options, result);
    return result;
}

FolderResult WriteStudyFolder(const Study& study, const fs::path& folder, std::vector<RunOutcome> rows,
                              const FolderOptions& options)
{
    FolderLock lock;
    FolderResult result = TakeFolder(folder, StudyRecord(study, {}), lock);
    if (!result.message.empty())
        return result;
    result.runs = study.RunCount();
    result.rows = std::move(rows);
    if (!ReplaceFile(folder / RunsFile, Table(study, result.rows), result.message)) {
        result.status = FolderStatus::WriteFailed;
        return result;
    }
    WriteSummary(study, folder, false, options, result);
    return result;
}

} // namespace study
