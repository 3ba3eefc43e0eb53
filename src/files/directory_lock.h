#pragma once

#include <chrono>
#include <filesystem>

#include "files/os.h"

namespace scenario::files {

// Whether a writer holds its directory: always, unless the author asked to write without the
// lock (scenario-tool --no-lock) where none can be had.
enum class Locking : std::uint8_t { required, not_wanted };

// Holds a directory for one program writing its scenario files there, so that two builds into
// one directory run one after the other instead of mixing their files. The lock is on the
// directory itself (flock on Linux, or a lock file of ours, `.scenario-lock`, in a directory
// that cannot be listed; a named mutex on Windows), and the system releases it when the program
// ends, however it ends. Another program that holds the directory is waited for up to
// `patience`; then FileError says who to wait for. Where no lock can be had (a file system that
// keeps none), FileError says so, unless the lock is not wanted.
//
// Holding the lock, it first puts right what a writer killed there left: it completes an
// interrupted set of outputs from its journal and removes the temporaries and scratch files of
// killed runs (see recover_interrupted_writes). Without the lock it touches nothing.
class DirectoryLock {
  public:
    explicit DirectoryLock(const std::filesystem::path& directory,
                           Locking locking = Locking::required,
                           std::chrono::milliseconds patience = std::chrono::seconds(30));
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    bool held() const { return handle_ != os::kNoHandle; }

  private:
    os::Handle handle_ = os::kNoHandle;
};

}  // namespace scenario::files
