// The files layer's system calls on Linux and other POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "files/os.h"

namespace scenario::files::os {

const char kSeparator = '/';

NativeString native_name(std::string_view windows_1252) {
    return NativeString(windows_1252);
}

std::string last_reason() {
    return std::strerror(errno);
}

Failure last_failure() {
    switch (errno) {
        case EEXIST:
            return Failure::name_taken;
        case EBUSY:
        case ETXTBSY:
            return Failure::in_use;
        case EFBIG:
            return Failure::too_large;
        case ENOLCK:
        case EOPNOTSUPP:
        case ENOSYS:
            return Failure::no_locks;
        case ENOENT:
            return Failure::not_found;
        default:
            return Failure::other;
    }
}

namespace {

fs::file_type type_of(mode_t mode) {
    if (S_ISREG(mode)) {
        return fs::file_type::regular;
    }
    if (S_ISDIR(mode)) {
        return fs::file_type::directory;
    }
    if (S_ISLNK(mode)) {
        return fs::file_type::symlink;
    }
    if (S_ISFIFO(mode)) {
        return fs::file_type::fifo;
    }
    if (S_ISCHR(mode)) {
        return fs::file_type::character;
    }
    if (S_ISBLK(mode)) {
        return fs::file_type::block;
    }
    if (S_ISSOCK(mode)) {
        return fs::file_type::socket;
    }
    return fs::file_type::unknown;
}

Facts facts_from(const struct stat& about) {
    Facts facts;
    facts.type = type_of(about.st_mode);
    facts.size = static_cast<std::uint64_t>(about.st_size);
    facts.mode = about.st_mode & 07777;
    facts.owner = about.st_uid;
    facts.group = about.st_gid;
    facts.read_only = (about.st_mode & 0222) == 0;
    return facts;
}

int fd_of(Handle handle) {
    return static_cast<int>(handle);
}

}  // namespace

std::optional<Facts> facts_of(const fs::path& name) {
    struct stat about {};
    if (::lstat(name.c_str(), &about) != 0) {
        if (errno == ENOENT) {
            return Facts{};
        }
        return std::nullopt;
    }
    return facts_from(about);
}

std::optional<Facts> facts_of_open(Handle file) {
    struct stat about {};
    if (::fstat(fd_of(file), &about) != 0) {
        return std::nullopt;
    }
    return facts_from(about);
}

bool held_by_another_program(const fs::path& /*file*/) {
    return false;
}

std::size_t longest_name(const fs::path& directory) {
    errno = 0;
    const long most = ::pathconf(directory.c_str(), _PC_NAME_MAX);
    return most > 0 ? static_cast<std::size_t>(most) : 255;
}

std::optional<std::vector<NativeString>> names_in(const fs::path& directory) {
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) {
        return std::nullopt;
    }
    std::vector<NativeString> names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    ::closedir(listing);
    return names;
}

Handle create_new(const fs::path& file) {
    return ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

bool write_some(Handle file, const std::uint8_t* data, std::size_t size, std::size_t& done) {
    const ssize_t wrote = ::write(fd_of(file), data, size);
    if (wrote < 0) {
        done = 0;
        return errno == EINTR;
    }
    done = static_cast<std::size_t>(wrote);
    return true;
}

bool flush_to_disk(Handle file) {
    return ::fdatasync(fd_of(file)) == 0;
}

bool close(Handle file) {
    return ::close(fd_of(file)) == 0;
}

void close_quietly(Handle file) noexcept {
    ::close(fd_of(file));
}

bool take_permissions(Handle file, const Facts& replaced) {
    // The group first: a change of group may clear the set-group bit that the mode then gives.
    if (::fchown(fd_of(file), static_cast<uid_t>(-1), replaced.group) != 0) {
        // Not a group of this user's: the file keeps the group a new file gets.
    }
    return ::fchmod(fd_of(file), replaced.mode) == 0;
}

bool allow_replacing(const fs::path& /*file*/, const Facts& /*facts*/) {
    return true;
}

bool rename_over(const fs::path& from, const fs::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool add_name(const fs::path& existing, const fs::path& new_name) {
    return ::link(existing.c_str(), new_name.c_str()) == 0;
}

bool remove(const fs::path& file) noexcept {
    return ::unlink(file.c_str()) == 0 || errno == ENOENT;
}

bool flush_directory(const fs::path& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

Handle open_to_read(const fs::path& file) {
    return ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

long long read_some(Handle file, char* into, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(fd_of(file), into, count);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

LockAttempt try_lock_directory(const fs::path& directory, Handle& lock) {
    // The directory itself when it can be opened; a directory that cannot be listed (write and
    // search rights alone, mode 0333) cannot, and a lock file of our own stands in for it.
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) {
        const auto lock_file = directory / ".scenario-lock";
        fd = ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (fd < 0) {
        return LockAttempt::impossible;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        ::close(fd);
        errno = reason;
        return reason == EWOULDBLOCK || reason == EINTR ? LockAttempt::busy
                                                        : LockAttempt::impossible;
    }
    lock = fd;
    return LockAttempt::held;
}

void unlock_directory(Handle lock) noexcept {
    ::close(fd_of(lock));  // closing releases the lock
}

namespace {

void (*interrupt_cleanup)() noexcept = nullptr;

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

sigset_t interrupts() {
    sigset_t set;
    sigemptyset(&set);
    for (const int number : kInterrupts) {
        sigaddset(&set, number);
    }
    return set;
}

void on_signal(int number) {
    if (interrupt_cleanup != nullptr) {
        interrupt_cleanup();
    }
    std::signal(number, SIG_DFL);
    std::raise(number);
}

}  // namespace

void on_interrupt(void (*cleanup)() noexcept) {
    interrupt_cleanup = cleanup;
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (const int number : kInterrupts) {
        // nohup and a shell's background job start a program with the signal ignored: it
        // stays so.
        struct sigaction before {};
        if (::sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) {
            continue;
        }
        ::sigaction(number, &action, nullptr);
    }
    // A file past the size limit (ulimit -f) fails its write with EFBIG, reported as a full disk
    // is, instead of ending the program with the temporaries left behind.
    std::signal(SIGXFSZ, SIG_IGN);
}

void hold_interrupts() noexcept {
    const sigset_t set = interrupts();
    ::sigprocmask(SIG_BLOCK, &set, nullptr);
}

void release_interrupts() noexcept {
    const sigset_t set = interrupts();
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

void remove_in_interrupt(const NativeChar* name) noexcept {
    ::unlink(name);
}

std::vector<std::string> program_arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

void use_utf8_console() {}

bool standard_error_shows_colour() {
    return ::isatty(STDERR_FILENO) != 0;
}

}  // namespace scenario::files::os
