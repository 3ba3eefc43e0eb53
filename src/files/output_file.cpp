#include "files/output_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "files/file_error.h"
#include "files/file_names.h"
#include "files/interrupt_cleanup.h"
#include "files/write_hooks.h"

namespace scenario::files {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kPiece = std::size_t{64} * 1024;
constexpr std::string_view kOurs = ".scenario-";
constexpr std::size_t kDigits = 16;

WriteHooks hooks;
std::int64_t bytes_written = 0;  // in all, for the full-disk hook
std::uint32_t renames = 0;       // in all, for the failed-rename hook

std::uint64_t next_salt() {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed =
        (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
    return seed ^ ((counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ull);
}

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

std::string write_failure_reason() {
    // A file past the size limit is reported as a full disk is: a plain reason, no signal.
    return os::last_reason();
}

}  // namespace

void set_write_hooks(const WriteHooks& new_hooks) {
    hooks = new_hooks;
    bytes_written = 0;
    renames = 0;
}

const WriteHooks& write_hooks() {
    return hooks;
}

fs::path name_of_ours(const fs::path& directory, std::string_view kind) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name(kOurs);
    const std::uint64_t salt = next_salt();
    for (std::size_t i = 0; i < kDigits; ++i) {
        name.push_back(kHex[(salt >> (4 * (kDigits - 1 - i))) & 0xF]);
    }
    name.append(kind);
    return directory / os::native_name(name);
}

bool is_name_of_ours(const os::NativeString& name) {
    const std::size_t length = kOurs.size() + kDigits + 4;
    if (name.size() != length) {
        return false;
    }
    for (std::size_t i = 0; i < kOurs.size(); ++i) {
        if (name[i] != static_cast<os::NativeChar>(kOurs[i])) {
            return false;
        }
    }
    for (std::size_t i = kOurs.size(); i < kOurs.size() + kDigits; ++i) {
        const auto c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    const auto kind = name.substr(kOurs.size() + kDigits);
    return kind == os::native_name(".tmp") || kind == os::native_name(".old");
}

std::optional<std::string> unusable_output_reason(const fs::path& file, ReadOnly read_only) {
    const auto name_length = file.filename().native().size();
    const auto longest =
        os::longest_name(file.parent_path().empty() ? fs::path(".") : file.parent_path());
    if (name_length > longest) {
        return "its name has " + std::to_string(name_length) + " characters, more than the " +
               std::to_string(longest) + " a file name may have on its file system";
    }
    const auto name = file.filename().u8string();
    if (is_device_name(std::string(name.begin(), name.end()))) {
        return std::string(
            "its name is that of a device on Windows (CON, PRN, AUX, NUL, COM1 to "
            "COM9, LPT1 to LPT9, with any extension)");
    }
    const auto facts = os::facts_of(file);
    if (!facts || facts->type == fs::file_type::not_found) {
        return std::nullopt;  // free, or unknown: creating the temporary tells
    }
    if (facts->type == fs::file_type::symlink) {
        return "it is a symbolic link (an output is never written through a link)";
    }
    if (facts->type != fs::file_type::regular) {
        const auto kind = kind_of_file(facts->type);
        return kind.empty() ? std::string("it is not a regular file")
                            : "it is " + std::string(kind);
    }
    if (facts->read_only && read_only == ReadOnly::refuse) {
        return std::string("it is read-only");
    }
    if (os::held_by_another_program(file)) {
        return std::string("another program has it open, so it cannot be replaced now");
    }
    return std::nullopt;
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

PendingFile::PendingFile(fs::path file, Flush flush, ReadOnly read_only)
    : file_(std::move(file)), flush_(flush), read_only_(read_only) {
    if (auto reason = unusable_output_reason(file_, read_only_)) {
        throw FileError(file_, "replace", *reason);
    }
    if (auto facts = os::facts_of(file_); facts && facts->type == fs::file_type::regular) {
        replaced_ = facts;
    }
    const auto directory = file_.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = name_of_ours(directory, ".tmp");
        list(temporary_);
        handle_ = os::create_new(temporary_);
        if (handle_ != os::kNoHandle) {
            return;
        }
        const bool taken = os::last_failure() == os::Failure::name_taken;
        const std::string reason = os::last_reason();
        unlist(temporary_);
        if (!taken) {
            temporary_.clear();
            throw FileError(file_, "create a temporary file for", reason);
        }
    }
    temporary_.clear();
    throw FileError(file_, "create a temporary file for", "every name tried was taken");
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : file_(std::move(other.file_)),
      temporary_(std::move(other.temporary_)),
      handle_(std::exchange(other.handle_, os::kNoHandle)),
      flush_(other.flush_),
      read_only_(other.read_only_),
      replaced_(other.replaced_),
      finished_(other.finished_) {
    other.temporary_.clear();
}

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::discard() noexcept {
    if (handle_ != os::kNoHandle) {
        os::close_quietly(handle_);
        handle_ = os::kNoHandle;
    }
    if (!temporary_.empty()) {
        os::remove(temporary_);
        unlist(temporary_);
        temporary_.clear();
    }
}

void PendingFile::renamed() noexcept {
    unlist(temporary_);
    temporary_.clear();
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
                throw FileError(file_, "write", std::strerror(ENOSPC));
            }
            size = std::min<std::size_t>(size, static_cast<std::size_t>(room));
        }
        std::size_t done = 0;
        if (!os::write_some(handle_, bytes.data(), size, done)) {
            throw FileError(file_, "write", write_failure_reason());
        }
        bytes_written += static_cast<std::int64_t>(done);
        bytes = bytes.subspan(done);
    }
}

void PendingFile::finish() {
    if (replaced_ && !os::take_permissions(handle_, *replaced_)) {
        throw FileError(file_, "give the new file the permissions of", os::last_reason());
    }
    const os::Handle handle = std::exchange(handle_, os::kNoHandle);
    const bool flushed = flush_ == Flush::not_needed || os::flush_to_disk(handle);
    const std::string reason = flushed ? std::string() : os::last_reason();
    if (!os::close(handle) || !flushed) {
        throw FileError(file_, "write", flushed ? os::last_reason() : reason);
    }
    finished_ = true;
}

std::optional<std::string> rename_into_place(const fs::path& temporary, const fs::path& file) {
    if (hooks.rename_delay_ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(hooks.rename_delay_ms));
    }
    if (hooks.fail_rename_at != 0 && ++renames == hooks.fail_rename_at) {
        return std::string("the rename failed (as the test asked)");
    }
    // rename replaces whatever stands at the name, a link swapped in meanwhile included: the
    // link itself goes, what it pointed to is never touched.
    if (!os::rename_over(temporary, file)) {
        if (os::last_failure() == os::Failure::in_use) {
            return std::string("another program has it open, so it cannot be replaced now");
        }
        return os::last_reason();
    }
    return std::nullopt;
}

void PendingFile::commit() {
    if (!finished_) {
        finish();
    }
    if (replaced_ && replaced_->read_only) {
        os::allow_replacing(file_, *replaced_);
    }
    if (auto reason = rename_into_place(temporary_, file_)) {
        throw FileError(file_, "replace", *reason);
    }
    renamed();
}

}  // namespace scenario::files
