#include "platform/posix_directory.h"

#include <system_error>

namespace scenario::platform {

std::filesystem::path posix_executable_directory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        throw std::filesystem::filesystem_error("cannot find the executable's directory",
                                                "/proc/self/exe", ec);
    }
    return exe.parent_path();
}

}  // namespace scenario::platform
