#include "support/run_program.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace scenario::testing {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("scenario-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
             std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string read_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

RunResult run_program(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::filesystem::path& working_directory) {
    TempDir capture;
    const auto out_file = capture.path() / "out";
    const auto err_file = capture.path() / "err";
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(working_directory.c_str()) != 0) {
            ::_exit(126);
        }
        if (!std::freopen(out_file.c_str(), "w", stdout) ||
            !std::freopen(err_file.c_str(), "w", stderr) ||
            !std::freopen("/dev/null", "r", stdin)) {
            ::_exit(126);
        }
        ::unsetenv("DISPLAY");
        std::vector<char*> argv;
        std::string name = program.string();
        argv.push_back(name.data());
        std::vector<std::string> copies = args;
        for (auto& a : copies) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(name.c_str(), argv.data());
        ::_exit(127);
    }
    RunResult result;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    }
    result.out = read_bytes(out_file);
    result.err = read_bytes(err_file);
    return result;
}

std::filesystem::path copy_executable(const std::filesystem::path& program,
                                      const std::filesystem::path& directory) {
    const auto copy = directory / program.filename();
    std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

std::vector<std::string> file_names(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(directory)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace scenario::testing
