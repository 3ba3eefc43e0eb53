#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace scenario::testing {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program without a display, in the working directory, and collects what it printed.
RunResult run_program(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::filesystem::path& working_directory);

// Copies an executable into the directory and returns the copy's path.
std::filesystem::path copy_executable(const std::filesystem::path& program,
                                      const std::filesystem::path& directory);

std::string read_bytes(const std::filesystem::path& file);

// The names of the files in a directory, sorted.
std::vector<std::string> file_names(const std::filesystem::path& directory);

}  // namespace scenario::testing
