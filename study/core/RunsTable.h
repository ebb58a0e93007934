#pragma once

#include "RunEvaluator.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// runs.csv on disk: read back for resuming, appended to a whole row at a time, and files
// replaced whole or not at all.
namespace study {

// What a runs.csv holds of a study.
struct RunsFound {
    bool header = false;            // the file starts with the study's header line
    bool foreign = false;           // not a regular file, or one starting with another line: not this study's table
    std::vector<RunOutcome> rows;   // every whole, valid row before the first that is not one
    std::uintmax_t wholeBytes = 0;  // the bytes of the header and those rows
    long long dropped = 0;          // lines from the first bad one on (a row cut by a crash)
};

// Reads runs.csv; a missing file is an empty one. keep decides whether a row belongs (a run of
// this study or shard, not seen before): the first that does not ends the rows taken.
RunsFound ReadRunsTable(const std::filesystem::path& path, const std::string& header, std::size_t values,
                        std::size_t figures, const std::function<bool(const RunOutcome&)>& keep);

// Appends rows to a runs.csv, each in one piece: when a write fails (a full disk, a size limit)
// the file is cut back to its last whole row, so it never holds part of one. Rows reach the
// system at once and the disk itself at least once a second.
class RowWriter {
public:
    RowWriter() = default;
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;
    ~RowWriter();

    // Opens the file for appending after its first `whole` bytes (anything after them is cut).
    bool Open(const std::filesystem::path& path, std::uintmax_t whole, std::string& message);
    // One line (without its end); false, with the message, when it could not be written whole.
    bool Append(const std::string& line, std::string& message);
    bool Close(std::string& message);

private:
    int fd_ = -1;
    std::filesystem::path path_;
    std::uintmax_t size_ = 0;
    std::chrono::steady_clock::time_point synced_ = std::chrono::steady_clock::now();
};

// Writes a file through a temporary beside it, so the file is either the old one or the new
// one whole. False, with the message, when it could not.
bool ReplaceFile(const std::filesystem::path& path, const std::string& text, std::string& message);
// The temporary ReplaceFile writes beside a file (left behind only when the process was killed).
std::filesystem::path TemporaryFor(const std::filesystem::path& path);

} // namespace study
