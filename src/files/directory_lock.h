#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace scenario::files {

// Holds a directory for one program writing its scenario files there, so that two builds into
// one directory run one after the other instead of mixing their files. It leaves no file of its
// own: the lock is on the directory itself (flock on Linux, a named mutex on Windows), and the
// system releases it when the program ends, however it ends. Another program that holds the
// directory is waited for up to `patience`; then FileError says who to wait for.
class DirectoryLock {
  public:
    explicit DirectoryLock(const std::filesystem::path& directory,
                           std::chrono::milliseconds patience = std::chrono::seconds(30));
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

  private:
    std::intptr_t handle_ = -1;
};

}  // namespace scenario::files
