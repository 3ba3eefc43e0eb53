#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The operating system as the files layer sees it: one face, with one implementation per
// system (os_posix.cpp, os_win32.cpp; the build picks one). Nothing above this header asks
// which system it runs on.
namespace scenario::files::os {

namespace fs = std::filesystem;
using NativeChar = fs::path::value_type;
using NativeString = fs::path::string_type;

// An open file or lock; kNoHandle when there is none.
using Handle = std::intptr_t;
inline constexpr Handle kNoHandle = -1;

// The separator put between a directory and a file name.
extern const char kSeparator;

// Windows-1252 bytes as the system's file-name characters (UTF-16 on Windows, bytes elsewhere).
NativeString native_name(std::string_view windows_1252);

// Why the last call of this face failed, in the system's words, and what kind of failure it
// was, for the callers that act on it.
std::string last_reason();
enum class Failure : std::uint8_t { other, name_taken, in_use, too_large, no_locks, not_found };
Failure last_failure();

// --- facts about a name ------------------------------------------------------------------------
struct Facts {
    fs::file_type type = fs::file_type::not_found;
    std::uint64_t size = 0;
    std::uint32_t mode = 0;  // the permission bits (POSIX); 0 where the system has none
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    bool read_only = false;  // no one may write it: no write bit at all, or the read-only flag
};
// The facts of the name itself (a link is a link); nothing when they cannot be had, with the
// reason in last_reason(). A missing name gives the type not_found.
std::optional<Facts> facts_of(const fs::path& name);
std::optional<Facts> facts_of_open(Handle file);

// Whether another program holds the file open so that it cannot be replaced now (Windows opens
// without sharing deletion); never on POSIX, where a rename replaces an open file.
bool held_by_another_program(const fs::path& file);

// The longest file name the directory's file system takes, in its own units (bytes, or UTF-16
// characters on Windows).
std::size_t longest_name(const fs::path& directory);

// The names in a directory, "." and ".." left out; nothing when it cannot be listed.
std::optional<std::vector<NativeString>> names_in(const fs::path& directory);

// --- writing ---------------------------------------------------------------------------------
// Creates a new file for writing, exclusively: a taken name fails (name_taken), and a link at
// the name is never followed. Others may delete or rename it while it is open, so that a
// clean-up can always remove it. Its permissions are those a plain create gets.
Handle create_new(const fs::path& file);
// Writes some of the bytes; `done` is how many (0 after an interrupted call). False on failure.
bool write_some(Handle file, const std::uint8_t* data, std::size_t size, std::size_t& done);
// Flushes the file's bytes to the disk.
bool flush_to_disk(Handle file);
bool close(Handle file);
void close_quietly(Handle file) noexcept;
// Gives a new file the permissions of the file it replaces, and its group where this program
// may set it. False when the mode could not be set.
bool take_permissions(Handle file, const Facts& replaced);

// Lets a read-only file that the author asked to replace be replaced (Windows refuses to rename
// over one); nothing to do on POSIX.
bool allow_replacing(const fs::path& file, const Facts& facts);
// Renames over whatever regular file stands at `to`; a link there is replaced, not followed.
bool rename_over(const fs::path& from, const fs::path& to);
// A second name for a file (a hard link), for keeping the old file of a set until the set is
// complete. False where the file system has none.
bool add_name(const fs::path& existing, const fs::path& new_name);
// Removes a name; false when it stays (a missing name is gone already: true).
bool remove(const fs::path& file) noexcept;
// Makes the renames and removals in a directory durable.
bool flush_directory(const fs::path& directory);

// --- reading ---------------------------------------------------------------------------------
// Opens a file for reading without waiting for a writer (a FIFO without one does not hold the
// open). kNoHandle on failure.
Handle open_to_read(const fs::path& file);
// Reads some bytes: how many, 0 at the end, -1 on a failure.
long long read_some(Handle file, char* into, std::size_t count);

// --- the directory lock ----------------------------------------------------------------------
enum class LockAttempt : std::uint8_t { held, busy, impossible };
// One attempt, without waiting, to hold the directory for this program alone until
// unlock_directory or the program's end. impossible: no lock can be had there (the file system
// keeps none), with the reason in last_reason().
LockAttempt try_lock_directory(const fs::path& directory, Handle& lock);
void unlock_directory(Handle lock) noexcept;

// --- interrupts ------------------------------------------------------------------------------
// Installs `cleanup` to run when the program is interrupted (SIGINT, SIGTERM, SIGHUP and
// SIGQUIT; on Windows Ctrl-C, Ctrl-Break and the closing of its console); then the program ends
// as the interrupt would have ended it. An interrupt ignored when the program started stays
// ignored. A write past the size a file may have fails with its error instead of ending the
// program (SIGXFSZ ignored).
void on_interrupt(void (*cleanup)() noexcept);
// While held, an interrupt waits until it is released.
void hold_interrupts() noexcept;
void release_interrupts() noexcept;
// Removes a name from inside an interrupt: nothing but the system call.
void remove_in_interrupt(const NativeChar* name) noexcept;

// --- the program's arguments and console -------------------------------------------------------
// The program's arguments after its name, in UTF-8: as given on POSIX; on Windows read as the
// UTF-16 the system holds them in and converted, so that no character is lost to a code page.
std::vector<std::string> program_arguments(int argc, char** argv);
// Makes the console show UTF-8 output as the characters it encodes (Windows); nothing elsewhere.
void use_utf8_console();
// Whether standard error goes to a terminal that shows colour escapes.
bool standard_error_shows_colour();

}  // namespace scenario::files::os
