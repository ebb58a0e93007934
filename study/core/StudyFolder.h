#pragma once

#include "LaneRunEvaluator.h"
#include "Outputs.h"
#include "RunsTable.h"
#include "Study.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

// A study made into its output folder: the one engine behind gyro-study and anything else that
// runs studies, so that every caller leaves the same files. One process at a time holds the
// folder; each finished row reaches runs.csv at once, in run order; a folder left by a stop, a
// kill or a crash is taken up where it stopped and ends with the files an unbroken study writes.
namespace study {

struct FolderOptions {
    Shard shard;
    int workers = 1;
    int lanes = LaneBatch;                    // runs integrated together where the study allows; 1: one by one
    bool restart = false;                     // drop the rows the folder holds and start afresh
    bool checkStep = false;                   // a whole study's runs (a sample) made again at half the step
    const std::atomic<bool>* stop = nullptr;  // set to stop: finished rows are kept, the summary says interrupted
    std::function<void(long long toMake)> onStart;   // once the folder is taken: the runs still to make
    std::function<void(long long done)> onProgress;  // runs done (finished or cancelled) of those
    // Draws the pictures of the whole study's rows, before summary.json marks the folder complete;
    // returns the file it could not write, empty when all are written.
    std::function<std::string(const Study&, std::span<const RunOutcome>)> writePlots;
};

enum class FolderStatus {
    Finished,       // every run made (a whole study's pictures and summary written)
    NoRunFinished,  // as Finished, but not one run of the whole study ended ok
    Stopped,        // stopped: the finished rows are kept, the summary says interrupted
    Refused,        // the folder cannot take the study (another study's, held by another process): nothing written
    WriteFailed,    // a file could not be written (a full disk): runs.csv keeps whole rows only
};

struct FolderResult {
    FolderStatus status = FolderStatus::Finished;
    std::string message;             // what went wrong, for Refused and WriteFailed
    std::vector<std::string> notes;  // what the user should know of the folder (rows cut by a crash)
    long long runs = 0;              // runs of the study, or of the shard
    long long kept = 0;              // rows found in the folder and kept
    long long made = 0;              // rows made now
    bool untouched = false;          // the folder held the finished study: nothing was done
    std::vector<RunOutcome> rows;    // every row in the folder, in run order
    Json summary;                    // summary.json as written now (null when none was)
};

// The rows a folder's runs.csv holds of the study (or shard), as resuming takes them: whole rows
// of its runs up to the first line that is not one, in run order, each run once.
struct FolderRows {
    RunsFound table;
    bool ordered = true;  // the file held them in run order, each once
};
FolderRows ReadFolderRows(const std::filesystem::path& runsPath, const Study& study, const Shard& shard);

// Makes the study's (or shard's) runs still missing from the folder and writes its files.
FolderResult RunStudyInFolder(const Study& study, const std::filesystem::path& folder, const FolderOptions& options);

// A whole study's rows made elsewhere (by shards) into the folder's files, as RunStudyInFolder
// leaves them.
FolderResult WriteStudyFolder(const Study& study, const std::filesystem::path& folder, std::vector<RunOutcome> rows,
                              const FolderOptions& options);

} // namespace study
