#include "RunsTable.h"

#include "FileErrors.h"
#include "Outputs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

namespace study {

namespace {

// Writes all of text at the file's current end; false with errno set when it could not.
bool WriteAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

RunsFound ReadRunsTable(const std::filesystem::path& path, const std::string& header, std::size_t values,
                        std::size_t figures, const std::function<bool(const RunOutcome&)>& keep)
{
    RunsFound found;
    std::error_code ec;
    // Only a regular file is read: a device in its place could be endless.
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
        found.foreign = true;
        return found;
    }
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line))
        return found;
    if (line != header || in.eof()) {
        // A header cut short is an empty table; any other start is another table.
        found.foreign = !(in.eof() && header.starts_with(line));
        return found;
    }
    found.header = true;
    found.wholeBytes = line.size() + 1;
    while (std::getline(in, line)) {
        // A line without its end was cut while being written.
        std::optional<RunOutcome> row;
        if (!in.eof())
            row = ParseCsvRow(line, values, figures);
        if (!row || !keep(*row)) {
            found.dropped = 1;
            while (std::getline(in, line))
                ++found.dropped;
            break;
        }
        found.wholeBytes += line.size() + 1;
        found.rows.push_back(std::move(*row));
    }
    return found;
}

RowWriter::~RowWriter()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool RowWriter::Open(const std::filesystem::path& path, std::uintmax_t whole, std::string& message)
{
    path_ = path;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0 || ::ftruncate(fd_, static_cast<off_t>(whole)) != 0) {
        message = "не удалось записать " + path.string() + ": " + FileErrorText(errno);
        return false;
    }
    size_ = whole;
    return true;
}

bool RowWriter::Append(const std::string& line, std::string& message)
{
    if (!WriteAll(fd_, line + "\n")) {
        message = "не удалось записать " + path_.string() + ": " + FileErrorText(errno);
        // Whatever part of the row got out is taken back.
        // Should that fail too, the next resume drops the cut row.
        (void)!::ftruncate(fd_, static_cast<off_t>(size_));
        return false;
    }
    size_ += line.size() + 1;
    const auto now = std::chrono::steady_clock::now();
    if (now - synced_ >= std::chrono::seconds(1)) {
        ::fdatasync(fd_);
        synced_ = now;
    }
    return true;
}

bool RowWriter::Close(std::string& message)
{
    if (fd_ < 0)
        return true;
    const bool synced = ::fdatasync(fd_) == 0 || errno == EINVAL;
    const int error = errno;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed) {
        message = "не удалось записать " + path_.string() + ": " + FileErrorText(synced ? errno : error);
        return false;
    }
    return true;
}

std::filesystem::path TemporaryFor(const std::filesystem::path& path)
{
    return path.parent_path() / ("." + path.filename().string() + ".new");
}

bool ReplaceFile(const std::filesystem::path& path, const std::string& text, std::string& message)
{
    const std::filesystem::path temporary = TemporaryFor(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && WriteAll(fd, text) && ::fdatasync(fd) == 0;
    const int error = errno;
    if (fd >= 0)
        ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    message = "не удалось записать " + path.string() + ": " + FileErrorText(ok ? errno : error);
    ::unlink(temporary.c_str());
    return false;
}

} // namespace study
