#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::files {

// What a file that is not a regular one is, for the messages that refuse it: "a directory",
// "a FIFO", "a device", "a socket", "a symbolic link"; empty for any other kind.
std::string_view kind_of_file(std::filesystem::file_type type);

// Why a name cannot take an output: it exists but is not a regular file (a directory, a FIFO, a
// device, a socket, or a symbolic link of any kind, dangling or not). Nothing when it is free
// or a regular file, which the output then replaces.
std::optional<std::string> unusable_output_reason(const std::filesystem::path& file);

// Whether an output is flushed to the disk before it is renamed into place: every file that is
// kept is; a text the build reads back and deletes within the same run need not be.
enum class Flush : std::uint8_t { to_disk, not_needed };

// One output on its way to the disk. Its bytes go into a new temporary file beside the final
// name (created exclusively, so never through a link), which is flushed to the disk and renamed
// over the final name only by commit(): until then the old file stays whole. Destroyed without
// commit (a failure, an exception), it removes its temporary; on SIGINT and SIGTERM the
// temporary is removed too.
class PendingFile {
  public:
    // Refuses a final name that cannot take an output (FileError), before anything is created.
    explicit PendingFile(std::filesystem::path file, Flush flush = Flush::to_disk);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&&) = delete;

    void write(std::span<const std::uint8_t> bytes);
    // Flushes the bytes to the disk and closes the temporary: the file is complete.
    void finish();
    // Renames the complete temporary over the final name.
    void commit();

    const std::filesystem::path& file() const { return file_; }

  private:
    void discard() noexcept;

    std::filesystem::path file_;
    std::filesystem::path temporary_;
    std::intptr_t handle_ = -1;  // the open temporary, -1 once closed
    Flush flush_ = Flush::to_disk;
    bool finished_ = false;
};

// Several outputs that belong together: every one is written and flushed first, and only then
// are they renamed into place, in the order they were added. A failure before the renames
// leaves every old file as it was.
class OutputSet {
  public:
    // Checks the name at once, so that no output is written when any name is unusable.
    void add(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);
    // Writes all, then renames all. Throws FileError; then no file was renamed.
    void commit();

  private:
    struct Entry {
        std::filesystem::path file;
        std::span<const std::uint8_t> bytes;
    };
    std::vector<Entry> entries_;
};

// Test hooks, for the tests that kill the programs, fill the disk or swap a link at an output
// name at a chosen moment: the programs set them from their environment before they write.
struct WriteHooks {
    std::int64_t fail_after_bytes = -1;  // bytes written in all before a write fails as if
                                         // the disk were full; -1 never
    std::uint32_t piece_delay_us = 0;    // a pause before each piece of 64 KB is written
    std::uint32_t rename_delay_ms = 0;   // a pause before each rename into place
};
void set_write_hooks(const WriteHooks& hooks);
// Reads the hooks from SCENARIO_TEST_FAIL_AFTER_BYTES, SCENARIO_TEST_PIECE_DELAY_US and
// SCENARIO_TEST_RENAME_DELAY_MS when they are set. For the programs' main only.
void set_write_hooks_from_environment();

}  // namespace scenario::files
