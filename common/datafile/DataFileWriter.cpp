#include "DataFileWriter.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace datafile {

std::string FormatCommaSeparated(std::span<const float> values)
{
    std::string out;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (!std::isfinite(values[k]))
            throw std::invalid_argument("value " + std::to_string(k + 1) + " is not finite");
        if (k > 0)
            out += ',';
        // The shortest round-trip form, never locale-dependent.
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, values[k]);
        out.append(buffer, result.ptr);
    }
    out += '\n';
    return out;
}

namespace {

// The permissions a new file gets here: those of the file it replaces, else the usual ones.
mode_t ModeFor(const std::string& path)
{
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    // The mask can only be read by setting it; the GUI thread alone writes files.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

std::string WriteFileAtomically(const std::string& path, std::string_view text)
{
    std::string pattern = path + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return std::strerror(errno);

    const auto fail = [&](bool open) {
        const int error = errno;
        if (open)
            ::close(fd);
        ::unlink(temp.data());
        return std::string(std::strerror(error));
    };
    if (::fchmod(fd, ModeFor(path)) != 0 || !WriteAll(fd, text) || ::fsync(fd) != 0)
        return fail(true);
    if (::close(fd) != 0)
        return fail(false);
    if (::rename(temp.data(), path.c_str()) != 0)
        return fail(false);
    return {};
}

} // namespace datafile
