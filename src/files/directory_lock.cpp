#include "files/directory_lock.h"

#include <thread>

#include "files/replace_file.h"

#ifdef _WIN32
#include <windows.h>

#include <functional>
#include <string>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace scenario::files {

namespace {

constexpr const char* kBusy =
    "another scenario-builder or scenario-tool is writing into this directory and did not "
    "finish in time; run again when it has finished";

}  // namespace

#ifdef _WIN32

DirectoryLock::DirectoryLock(const std::filesystem::path& directory,
                             std::chrono::milliseconds patience) {
    // One mutex per directory, named after its full path (case folded as Windows folds it).
    std::error_code ec;
    auto full = std::filesystem::weakly_canonical(directory, ec).wstring();
    if (ec) {
        full = directory.wstring();
    }
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    const auto name =
        L"Local\\scenario-directory-" + std::to_wstring(std::hash<std::wstring>{}(full));
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        return;  // no lock to be had: go on as a single program would
    }
    const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(patience.count()));
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        throw FileError(directory, "write into", kBusy);
    }
    handle_ = reinterpret_cast<std::intptr_t>(mutex);
}

DirectoryLock::~DirectoryLock() {
    if (handle_ != -1) {
        ReleaseMutex(reinterpret_cast<HANDLE>(handle_));
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}

#else

namespace {
constexpr auto kRetry = std::chrono::milliseconds(20);
}  // namespace

DirectoryLock::DirectoryLock(const std::filesystem::path& directory,
                             std::chrono::milliseconds patience) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;  // the writes themselves will say what is wrong with the directory
    }
    const auto give_up = std::chrono::steady_clock::now() + patience;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            close(fd);
            return;  // a file system without locks: go on as a single program would
        }
        if (std::chrono::steady_clock::now() >= give_up) {
            close(fd);
            throw FileError(directory, "write into", kBusy);
        }
        std::this_thread::sleep_for(kRetry);
    }
    handle_ = fd;
}

DirectoryLock::~DirectoryLock() {
    if (handle_ != -1) {
        close(static_cast<int>(handle_));  // closing releases the lock
    }
}

#endif

}  // namespace scenario::files
