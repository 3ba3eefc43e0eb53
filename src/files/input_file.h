#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace scenario::files {

// Reads a whole input: a regular file (a link to one is fine) of at most `most` bytes. A name
// that is not a regular file (a directory, a FIFO, a device, a socket) is refused without
// waiting for a writer and without reading a byte, and so is a file larger than `most`, from
// its size alone: /dev/zero, a FIFO nobody writes or a file of gigabytes cannot hold the
// program or fill its memory. Throws FileError for these and when the file cannot be opened
// or read. `meaning` says what `most` stands for, after "more than the N bytes": "a cell file
// can hold".
std::string read_input_file(const std::filesystem::path& file, std::uint64_t most,
                            std::string_view meaning = "such a file can hold");

}  // namespace scenario::files
