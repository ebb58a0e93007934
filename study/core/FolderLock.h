#pragma once

#include <filesystem>
#include <string>

// One process at a time in a study's output folder. The lock is the kernel's lock on a small
// file in the folder, so it goes with the process however that ends (kill -9 included); the
// file, which names the holder's process, is removed when the holder lets go.
namespace study {

class FolderLock {
public:
    enum class Outcome { Held, Busy, Unsupported, Failed };

    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    // Takes the folder (which must exist) without waiting. Busy: another process holds it;
    // message says which. Unsupported: the file system has no locks. Failed: the lock file
    // cannot be made. The message says why.
    Outcome Take(const std::filesystem::path& folder, std::string& message);
    void Release();

private:
    int fd_ = -1;
    std::filesystem::path file_;
};

inline constexpr const char* LockFile = ".gyro-study.lock";

} // namespace study
