#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "files/file_error.h"
#include "files/os.h"

namespace scenario::files {

// What a file that is not a regular one is, for the messages that refuse it: "a directory",
// "a FIFO", "a device", "a socket", "a symbolic link"; empty for any other kind.
std::string_view kind_of_file(std::filesystem::file_type type);

// Whether an output may replace a read-only file: the builder never does, scenario-tool does
// when the author says --force. The new file keeps the old one's permissions either way.
enum class ReadOnly : std::uint8_t { refuse, replace };

// Why a name cannot take an output: it exists but is not a regular file (a directory, a FIFO, a
// device, a socket, or a symbolic link of any kind, dangling or not); it is read-only (unless
// allowed); another program holds it open so that it cannot be replaced (Windows); or it is
// longer than its file system takes. Nothing when it is free or a regular file that the output
// then replaces.
std::optional<std::string> unusable_output_reason(const std::filesystem::path& file,
                                                  ReadOnly read_only = ReadOnly::refuse);

// Whether an output is flushed to the disk before it is renamed into place: every file that is
// kept is; a text the build reads back and deletes within the same run need not be.
enum class Flush : std::uint8_t { to_disk, not_needed };

// A name of ours in the directory, of fixed length whatever the output's name: ".scenario-",
// sixteen hexadecimal digits and the kind (".tmp" for a new file on its way, ".old" for the old
// file of a set kept until the set is complete). The next writer in the directory removes every
// name of this form that a killed run left (see recover_interrupted_writes).
std::filesystem::path name_of_ours(const std::filesystem::path& directory, std::string_view kind);
bool is_name_of_ours(const os::NativeString& name);

// One output on its way to the disk. Its bytes go into a new temporary file beside the final
// name (created exclusively, so never through a link), which is flushed to the disk and renamed
// over the final name only by commit(): until then the old file stays whole. The new file gets
// the permissions of the file it replaces (and its group where this program may set it), or
// those of a plain create. Destroyed without commit (a failure, an exception), it removes its
// temporary; on an interrupt the temporary is removed too.
class PendingFile {
  public:
    // Refuses a final name that cannot take an output (FileError), before anything is created.
    explicit PendingFile(std::filesystem::path file, Flush flush = Flush::to_disk,
                         ReadOnly read_only = ReadOnly::refuse);
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
    const std::filesystem::path& temporary() const { return temporary_; }
    ReadOnly read_only() const { return read_only_; }

  private:
    friend class OutputSet;
    void discard() noexcept;
    // The temporary is renamed (by the set): it is no longer this file's to remove.
    void renamed() noexcept;

    std::filesystem::path file_;
    std::filesystem::path temporary_;
    os::Handle handle_ = os::kNoHandle;  // the open temporary, kNoHandle once closed
    Flush flush_ = Flush::to_disk;
    ReadOnly read_only_ = ReadOnly::refuse;
    std::optional<os::Facts> replaced_;  // the file at the name when the output began
    bool finished_ = false;
};

// Renames a complete temporary over its final name, with the pause and the failure of the
// test hooks. Nothing when it was renamed, else why not.
std::optional<std::string> rename_into_place(const std::filesystem::path& temporary,
                                             const std::filesystem::path& file);

}  // namespace scenario::files
