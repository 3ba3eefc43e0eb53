#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "files/file_error.h"
#include "files/output_file.h"

namespace scenario::files {

// Replaces a file with exactly these bytes, through a temporary file beside it that is renamed
// over the name only when it is complete (see PendingFile): the file holds the old bytes or the
// new ones, never a part. A name that cannot take an output (a link, a directory, a FIFO, a
// device, a read-only file) is refused with FileError, and nothing is written.
void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  Flush flush = Flush::to_disk, ReadOnly read_only = ReadOnly::refuse);
void replace_file(const std::filesystem::path& file, std::string_view text,
                  Flush flush = Flush::to_disk, ReadOnly read_only = ReadOnly::refuse);

// Reads a whole file; throws FileError when it cannot be opened or read.
std::string read_file(const std::filesystem::path& file);

// Deletes a file; a missing file is not an error. Throws FileError when it exists and stays.
void delete_file(const std::filesystem::path& file);

}  // namespace scenario::files
