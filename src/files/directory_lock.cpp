#include "files/directory_lock.h"

#include <thread>

#include "files/file_error.h"
#include "files/output_set.h"
#include "files/write_hooks.h"

namespace scenario::files {

namespace {

constexpr auto kRetry = std::chrono::milliseconds(20);

constexpr const char* kBusy =
    "another scenario-builder or scenario-tool is writing into this directory and did not "
    "finish in time; run again when it has finished";

}  // namespace

DirectoryLock::DirectoryLock(const std::filesystem::path& directory, Locking locking,
                             std::chrono::milliseconds patience) {
    const auto give_up = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const auto attempt = write_hooks().no_locks ? os::LockAttempt::impossible
                                                    : os::try_lock_directory(directory, handle_);
        if (attempt == os::LockAttempt::held) {
            break;
        }
        if (attempt == os::LockAttempt::impossible) {
            if (locking == Locking::not_wanted) {
                return;  // the author's choice: written without the lock, nothing recovered
            }
            const std::string reason =
                write_hooks().no_locks ? "the file system keeps no locks" : os::last_reason();
            throw FileError(directory, "lock",
                            "no lock can be held there (" + reason +
                                "), so another writer could mix its files with these; nothing "
                                "was written");
        }
        if (std::chrono::steady_clock::now() >= give_up) {
            throw FileError(directory, "write into", kBusy);
        }
        std::this_thread::sleep_for(kRetry);
    }
    try {
        recover_interrupted_writes(directory);
    } catch (...) {
        os::unlock_directory(handle_);
        throw;
    }
}

DirectoryLock::~DirectoryLock() {
    if (handle_ != os::kNoHandle) {
        os::unlock_directory(handle_);
    }
}

}  // namespace scenario::files
