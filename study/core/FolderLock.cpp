#include "FolderLock.h"

#include "FileErrors.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace study {

FolderLock::~FolderLock()
{
    Release();
}

FolderLock::Outcome FolderLock::Take(const std::filesystem::path& folder, std::string& message)
{
    Release();
    const std::filesystem::path file = folder / LockFile;
    // The file is removed by its holder on release: a lock won on a file already unlinked is
    // no lock, so try again on the one now in its place.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            message = file.string() + ": " + FileErrorText(errno);
            return Outcome::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            char holder[32] = {};
            const ssize_t n = ::pread(fd, holder, sizeof holder - 1, 0);
            ::close(fd);
            if (error != EWOULDBLOCK) {
                message = file.string() + ": " + FileErrorText(error);
                // Some shared file systems offer no locks at all.
                const bool unsupported = error == ENOLCK || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL;
                if (unsupported)
                    ::unlink(file.c_str());
                return unsupported ? Outcome::Unsupported : Outcome::Failed;
            }
            message = "папка " + folder.string() + " занята: в нее уже пишет другой процесс gyro-study";
            if (n > 0)
                message += " (PID " + std::string(holder, static_cast<std::size_t>(n)) + ")";
            return Outcome::Busy;
        }
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && ::stat(file.c_str(), &named) == 0 && held.st_ino == named.st_ino
            && held.st_dev == named.st_dev) {
            // The holder's number is only a courtesy to whoever is refused: not writing it is no failure.
            const std::string pid = std::to_string(::getpid());
            if (::ftruncate(fd, 0) == 0)
                (void)!::pwrite(fd, pid.data(), pid.size(), 0);
            fd_ = fd;
            file_ = file;
            return Outcome::Held;
        }
        ::close(fd);
    }
    message = file.string() + ": файл блокировки все время пересоздается";
    return Outcome::Failed;
}

void FolderLock::Release()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so that no one can lock the old file in between.
    ::unlink(file_.c_str());
    ::close(fd_);
    fd_ = -1;
}

} // namespace study
