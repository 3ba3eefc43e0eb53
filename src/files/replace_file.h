#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>

namespace scenario::files {

// A file of the scenario that could not be created, deleted, written or read.
class FileError : public std::runtime_error {
  public:
    FileError(const std::filesystem::path& file, const std::string& action,
              const std::string& reason);
    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
};

// Replaces a file with exactly these bytes: create it if absent (opened for binary access, so an
// existing file is left as it is), close it, delete it, create it anew, write, close. A file of
// an earlier run is therefore never appended to or partly overwritten.
void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);
void replace_file(const std::filesystem::path& file, std::string_view text);

// The same replacement with bytes made while they are written: `produce` is called once, with a
// sink that appends each piece it is given to the new file.
using ByteSink = std::function<void(std::span<const std::uint8_t>)>;
void replace_file_in_pieces(const std::filesystem::path& file,
                            const std::function<void(const ByteSink&)>& produce);

// Reads a whole file; throws FileError when it cannot be opened or read.
std::string read_file(const std::filesystem::path& file);

// Deletes a file; a missing file is not an error. Throws FileError when it exists and stays.
void delete_file(const std::filesystem::path& file);

}  // namespace scenario::files
