#pragma once

#include <filesystem>
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

}  // namespace scenario::files
