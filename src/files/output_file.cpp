#include "files/output_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <utility>

#include "files/interrupt_cleanup.h"
#include "files/replace_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace scenario::files {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kPiece = std::size_t{64} * 1024;

WriteHooks hooks;
std::int64_t bytes_written = 0;  // in all, for the full-disk hook

std::string system_reason(int code) {
    return std::strerror(code);
}

// A name beside the final one that no other file has: hidden, with the final name in it so a
// person who finds one left by a killed run knows what it was for.
fs::path temporary_beside(const fs::path& file, std::uint64_t salt) {
    auto name = file.filename().native();
    using Char = fs::path::value_type;
    const std::string suffix = "." + std::to_string(salt) + ".tmp";
    name.insert(name.begin(), Char('.'));
    name.append(suffix.begin(), suffix.end());
    return file.parent_path() / name;
}

std::uint64_t next_salt() {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed = std::random_device{}();
    return (seed << 20) ^ (counter.fetch_add(1) + 1);
}

#ifdef _WIN32

std::string last_reason() {
    const DWORD code = GetLastError();
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    std::string reason(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

std::intptr_t create_exclusive(const fs::path& file) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
}

bool create_failed_because_taken() {
    return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool write_some(std::intptr_t handle, const std::uint8_t* data, std::size_t size,
                std::size_t& done) {
    DWORD wrote = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!WriteFile(reinterpret_cast<HANDLE>(handle), data, chunk, &wrote, nullptr)) {
        return false;
    }
    done = wrote;
    return true;
}

bool close_file(std::intptr_t handle, bool flush) {
    const HANDLE h = reinterpret_cast<HANDLE>(handle);
    const bool flushed = !flush || FlushFileBuffers(h) != 0;
    return CloseHandle(h) != 0 && flushed;
}

void close_quietly(std::intptr_t handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

bool rename_over(const fs::path& from, const fs::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void remove_quietly(const fs::path& file) {
    DeleteFileW(file.c_str());
}

#else

std::string last_reason() {
    return system_reason(errno);
}

std::intptr_t create_exclusive(const fs::path& file) {
    return open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

bool create_failed_because_taken() {
    return errno == EEXIST;
}

bool write_some(std::intptr_t handle, const std::uint8_t* data, std::size_t size,
                std::size_t& done) {
    const ssize_t wrote = ::write(static_cast<int>(handle), data, size);
    if (wrote < 0) {
        return errno == EINTR ? (done = 0, true) : false;
    }
    done = static_cast<std::size_t>(wrote);
    return true;
}

bool close_file(std::intptr_t handle, bool flush) {
    const int fd = static_cast<int>(handle);
    const bool flushed = !flush || fdatasync(fd) == 0;
    const int saved = errno;
    const bool closed = close(fd) == 0;
    if (!flushed) {
        errno = saved;
    }
    return flushed && closed;
}

void close_quietly(std::intptr_t handle) {
    close(static_cast<int>(handle));
}

bool rename_over(const fs::path& from, const fs::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void remove_quietly(const fs::path& file) {
    unlink(file.c_str());
}

#endif

// The temporaries this process has open, so that an interrupt removes them.
std::vector<std::pair<fs::path, std::unique_ptr<RemovedOnInterrupt>>>& listed() {
    static std::vector<std::pair<fs::path, std::unique_ptr<RemovedOnInterrupt>>> files;
    return files;
}

void list(const fs::path& file) {
    listed().emplace_back(file, std::make_unique<RemovedOnInterrupt>(file));
}

void unlist(const fs::path& file) {
    auto& files = listed();
    files.erase(std::remove_if(files.begin(), files.end(),
                               [&](const auto& entry) { return entry.first == file; }),
                files.end());
}

std::uint32_t environment_number(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? 0 : static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
}

}  // namespace

std::optional<std::string> unusable_output_reason(const fs::path& file) {
    std::error_code ec;
    const auto status = fs::symlink_status(file, ec);
    if (ec || status.type() == fs::file_type::not_found) {
        return std::nullopt;  // free, or unknown: creating the temporary tells
    }
    if (status.type() == fs::file_type::regular) {
        return std::nullopt;
    }
    if (status.type() == fs::file_type::symlink) {
        return "it is a symbolic link (an output is never written through a link)";
    }
    const auto kind = kind_of_file(status.type());
    return kind.empty() ? std::string("it is not a regular file") : "it is " + std::string(kind);
}

std::string_view kind_of_file(fs::file_type type) {
    switch (type) {
        case fs::file_type::directory:
            return "a directory";
        case fs::file_type::fifo:
            return "a FIFO";
        case fs::file_type::block:
        case fs::file_type::character:
            return "a device";
        case fs::file_type::socket:
            return "a socket";
        case fs::file_type::symlink:
            return "a symbolic link";
        default:
            return {};
    }
}

PendingFile::PendingFile(fs::path file, Flush flush) : file_(std::move(file)), flush_(flush) {
    if (auto reason = unusable_output_reason(file_)) {
        throw FileError(file_, "replace", *reason);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = temporary_beside(file_, next_salt());
        list(temporary_);
        handle_ = create_exclusive(temporary_);
        if (handle_ != -1) {
            return;
        }
        const bool taken = create_failed_because_taken();
        const std::string reason = last_reason();
        unlist(temporary_);
        if (!taken) {
            throw FileError(file_, "create a temporary file for", reason);
        }
    }
    throw FileError(file_, "create a temporary file for", "every name tried was taken");
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : file_(std::move(other.file_)),
      temporary_(std::move(other.temporary_)),
      handle_(std::exchange(other.handle_, -1)),
      flush_(other.flush_),
      finished_(other.finished_) {
    other.temporary_.clear();
}

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::discard() noexcept {
    if (handle_ != -1) {
        close_quietly(handle_);
        handle_ = -1;
    }
    if (!temporary_.empty()) {
        remove_quietly(temporary_);
        unlist(temporary_);
        temporary_.clear();
    }
}

void PendingFile::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        if (hooks.piece_delay_us > 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(hooks.piece_delay_us));
        }
        std::size_t size = std::min(bytes.size(), kPiece);
        if (hooks.fail_after_bytes >= 0) {
            const std::int64_t room =
                std::max<std::int64_t>(0, hooks.fail_after_bytes - bytes_written);
            if (room == 0) {
                throw FileError(file_, "write", system_reason(ENOSPC));
            }
            size = std::min<std::size_t>(size, static_cast<std::size_t>(room));
        }
        std::size_t done = 0;
        if (!write_some(handle_, bytes.data(), size, done)) {
            throw FileError(file_, "write", last_reason());
        }
        bytes_written += static_cast<std::int64_t>(done);
        bytes = bytes.subspan(done);
    }
}

void PendingFile::finish() {
    const std::intptr_t handle = std::exchange(handle_, -1);
    if (!close_file(handle, flush_ == Flush::to_disk)) {
        throw FileError(file_, "write", last_reason());
    }
    finished_ = true;
}

void PendingFile::commit() {
    if (!finished_) {
        finish();
    }
    if (hooks.rename_delay_ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(hooks.rename_delay_ms));
    }
    // rename replaces whatever stands at the name, a link swapped in meanwhile included: the
    // link itself goes, what it pointed to is never touched.
    if (!rename_over(temporary_, file_)) {
        throw FileError(file_, "replace", last_reason());
    }
    unlist(temporary_);
    temporary_.clear();
}

void OutputSet::add(const fs::path& file, std::span<const std::uint8_t> bytes) {
    if (auto reason = unusable_output_reason(file)) {
        throw FileError(file, "replace", *reason);
    }
    entries_.push_back({file, bytes});
}

void OutputSet::commit() {
    std::vector<PendingFile> pending;
    pending.reserve(entries_.size());
    for (const auto& entry : entries_) {
        pending.emplace_back(entry.file);
        pending.back().write(entry.bytes);
        pending.back().finish();
    }
    const InterruptsHeld held;
    for (auto& file : pending) {
        file.commit();
    }
}

void set_write_hooks(const WriteHooks& new_hooks) {
    hooks = new_hooks;
    bytes_written = 0;
}

void set_write_hooks_from_environment() {
    WriteHooks from_environment;
    if (const char* value = std::getenv("SCENARIO_TEST_FAIL_AFTER_BYTES")) {
        from_environment.fail_after_bytes = std::strtoll(value, nullptr, 10);
    }
    from_environment.piece_delay_us = environment_number("SCENARIO_TEST_PIECE_DELAY_US");
    from_environment.rename_delay_ms = environment_number("SCENARIO_TEST_RENAME_DELAY_MS");
    set_write_hooks(from_environment);
}

}  // namespace scenario::files
