#include "DataFileWriter.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <climits>

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

// The file a name leads to: through symbolic links, so that saving through a link
// replaces the file it points at and leaves the link a link. A link that leads nowhere
// leads to the file it names, which the write creates. Empty for a chain of links too long
// to follow (a loop among them), with errno set.
std::string FollowLinks(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
            return path;
        std::vector<char> target(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return path;
        std::string next(target.data(), static_cast<std::size_t>(n));
        if (next.front() != '/') {
            const std::size_t slash = path.rfind('/');
            if (slash != std::string::npos)
                next = path.substr(0, slash + 1) + next;
        }
        path = std::move(next);
    }
    errno = ELOOP;
    return {};
}

// The name of the temporary file beside path: the target's name cut to leave room for the
// suffix that mkstemp fills, so that it stays a legal name however long the target's is.
std::string TemporaryPattern(const std::string& path)
{
    constexpr std::size_t NameMax = 255;
    const std::string suffix = ".XXXXXX";
    const std::size_t slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string name = path.substr(start);
    if (name.size() > NameMax - suffix.size()) {
        std::size_t keep = NameMax - suffix.size();
        // Not in the middle of a UTF-8 character.
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
            --keep;
        name.resize(keep);
    }
    return path.substr(0, start) + name + suffix;
}

} // namespace

std::string WriteFileAtomically(const std::string& name, std::string_view text)
{
    const std::string path = FollowLinks(name);
    if (path.empty())
        return std::strerror(errno);
    std::string pattern = TemporaryPattern(path);
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
