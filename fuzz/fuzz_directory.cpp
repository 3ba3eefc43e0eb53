#include "fuzz_directory.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace scenario::fuzzing {

namespace {

std::filesystem::path make_directory() {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const auto base =
        std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
    auto dir = base / ("scenario-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

struct Directory {
    std::filesystem::path path = make_directory();
    ~Directory() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

}  // namespace

const std::filesystem::path& fuzz_directory() {
    static const Directory directory;
    return directory.path;
}

}  // namespace scenario::fuzzing
