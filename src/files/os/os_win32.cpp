// The files layer's system calls on Windows: wide names throughout, so that a path of any
// characters and any length (the manifest makes the programs long-path aware) is used as given.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>

#include "files/os.h"
#include "files/windows_1252.h"

namespace scenario::files::os {

const char kSeparator = '\\';

NativeString native_name(std::string_view windows_1252) {
    // A byte that stands for no character passes as the control character of its own value, as
    // the system's own conversion of the code page passes it, so that names differing there
    // stay apart.
    std::wstring wide;
    wide.reserve(windows_1252.size());
    for (const char c : windows_1252) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t character = character_1252(byte);
        wide.push_back(static_cast<wchar_t>(character == kNoCharacter ? byte : character));
    }
    return wide;
}

std::string last_reason() {
    const DWORD code = GetLastError();
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    std::string reason(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

Failure last_failure() {
    switch (GetLastError()) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return Failure::name_taken;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return Failure::in_use;
        case ERROR_FILE_TOO_LARGE:
            return Failure::too_large;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return Failure::not_found;
        default:
            return Failure::other;
    }
}

namespace {

HANDLE handle_of(Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

Handle as_handle(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<Handle>(h);
}

fs::file_type type_of_attributes(DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return fs::file_type::symlink;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return fs::file_type::directory;
    }
    return fs::file_type::regular;
}

std::uint64_t joined(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

}  // namespace

std::optional<Facts> facts_of(const fs::path& name) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            return Facts{};
        }
        return std::nullopt;
    }
    Facts facts;
    facts.type = type_of_attributes(data.dwFileAttributes);
    facts.size = joined(data.nFileSizeHigh, data.nFileSizeLow);
    facts.read_only = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.mode = facts.read_only ? 1u : 0u;
    return facts;
}

std::optional<Facts> facts_of_open(Handle file) {
    Facts facts;
    switch (GetFileType(handle_of(file))) {
        case FILE_TYPE_CHAR:
            facts.type = fs::file_type::character;
            return facts;
        case FILE_TYPE_PIPE:
            facts.type = fs::file_type::fifo;
            return facts;
        case FILE_TYPE_DISK:
            break;
        default:
            facts.type = fs::file_type::unknown;
            return facts;
    }
    BY_HANDLE_FILE_INFORMATION about{};
    if (!GetFileInformationByHandle(handle_of(file), &about)) {
        return std::nullopt;
    }
    facts.type = type_of_attributes(about.dwFileAttributes);
    facts.size = joined(about.nFileSizeHigh, about.nFileSizeLow);
    facts.read_only = (about.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.mode = facts.read_only ? 1u : 0u;
    return facts;
}

bool held_by_another_program(const fs::path& file) {
    // A program that opened the file without sharing its deletion keeps it from being renamed
    // over: ask for that right now, as the rename will.
    HANDLE h =
        CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
    }
    CloseHandle(h);
    return false;
}

std::size_t longest_name(const fs::path& /*directory*/) {
    // Every file system Windows writes (NTFS, ReFS, exFAT, FAT with long names) takes 255
    // UTF-16 characters; asking the volume costs a call that some (a network share, wine's
    // drive of the Unix root) answer only with a complaint.
    return 255;
}

std::optional<std::vector<NativeString>> names_in(const fs::path& directory) {
    WIN32_FIND_DATAW found{};
    const auto pattern = directory.native() + L"\\*";
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND
                   ? std::optional<std::vector<NativeString>>(std::vector<NativeString>{})
                   : std::nullopt;
    }
    std::vector<NativeString> names;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.emplace_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

Handle create_new(const fs::path& file) {
    // Shared for deletion, so that the clean-up of an interrupt, which runs on a thread of its
    // own while this handle may still be open, can always remove it.
    return as_handle(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool write_some(Handle file, const std::uint8_t* data, std::size_t size, std::size_t& done) {
    DWORD wrote = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
    if (!WriteFile(handle_of(file), data, chunk, &wrote, nullptr)) {
        done = 0;
        return false;
    }
    done = wrote;
    return true;
}

bool flush_to_disk(Handle file) {
    return FlushFileBuffers(handle_of(file)) != 0;
}

bool close(Handle file) {
    return CloseHandle(handle_of(file)) != 0;
}

void close_quietly(Handle file) noexcept {
    CloseHandle(handle_of(file));
}

bool take_permissions(Handle file, const Facts& replaced) {
    if (!replaced.read_only) {
        return true;
    }
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(handle_of(file), FileBasicInfo, &basic, sizeof basic)) {
        return false;
    }
    basic.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    return SetFileInformationByHandle(handle_of(file), FileBasicInfo, &basic, sizeof basic) != 0;
}

bool allow_replacing(const fs::path& file, const Facts& facts) {
    if (!facts.read_only) {
        return true;
    }
    const DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           SetFileAttributesW(file.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) != 0;
}

bool rename_over(const fs::path& from, const fs::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool add_name(const fs::path& existing, const fs::path& new_name) {
    return CreateHardLinkW(new_name.c_str(), existing.c_str(), nullptr) != 0;
}

bool remove(const fs::path& file) noexcept {
    if (DeleteFileW(file.c_str())) {
        return true;
    }
    const DWORD code = GetLastError();
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

bool flush_directory(const fs::path& /*directory*/) {
    // MOVEFILE_WRITE_THROUGH has made each rename durable already.
    return true;
}

Handle open_to_read(const fs::path& file) {
    // FILE_FLAG_BACKUP_SEMANTICS opens a directory too, so that it is refused as one.
    return as_handle(CreateFileW(file.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

long long read_some(Handle file, char* into, std::size_t count) {
    DWORD got = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(count, std::size_t{1} << 30));
    if (!ReadFile(handle_of(file), into, chunk, &got, nullptr)) {
        return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return got;
}

LockAttempt try_lock_directory(const fs::path& directory, Handle& lock) {
    // One mutex per directory, named after its full path (case folded as Windows folds it); the
    // system releases it when the program ends, however it ends.
    std::error_code ec;
    auto full = fs::weakly_canonical(directory, ec).wstring();
    if (ec) {
        full = directory.wstring();
    }
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    const auto name =
        L"Local\\scenario-directory-" + std::to_wstring(std::hash<std::wstring>{}(full));
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        return LockAttempt::impossible;
    }
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return LockAttempt::busy;
    }
    lock = reinterpret_cast<Handle>(mutex);
    return LockAttempt::held;
}

void unlock_directory(Handle lock) noexcept {
    ReleaseMutex(handle_of(lock));
    CloseHandle(handle_of(lock));
}

namespace {

void (*interrupt_cleanup)() noexcept = nullptr;
// Set while a set of outputs is renamed; the console handler, which runs on a thread of its
// own, waits for it to clear.
std::atomic<bool> holding{false};

BOOL WINAPI on_console_event(DWORD) {
    while (holding.load()) {
        Sleep(1);
    }
    if (interrupt_cleanup != nullptr) {
        interrupt_cleanup();
    }
    return FALSE;  // the default handler ends the program
}

}  // namespace

void on_interrupt(void (*cleanup)() noexcept) {
    interrupt_cleanup = cleanup;
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

void hold_interrupts() noexcept {
    holding.store(true);
}

void release_interrupts() noexcept {
    holding.store(false);
}

void remove_in_interrupt(const NativeChar* name) noexcept {
    DeleteFileW(name);
}

// The wide arguments as the C runtime splits them (msvcrt's own, so that quoting follows the
// rules every Windows program follows), whatever main was given.
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** environment, int expand,
                              int* startup);

namespace {

std::string utf8_of(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace

std::vector<std::string> program_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = nullptr;
    wchar_t** environment = nullptr;
    int startup = 0;
    if (__wgetmainargs(&count, &wide, &environment, 0, &startup) != 0 || wide == nullptr) {
        return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(utf8_of(wide[i]));
    }
    return arguments;
}

void use_utf8_console() {
    SetConsoleOutputCP(CP_UTF8);
}

bool standard_error_shows_colour() {
    return false;  // the console of an older Windows shows the escapes as they are
}

}  // namespace scenario::files::os
