#pragma once

#include <filesystem>

namespace scenario::platform {

// The directory of the running executable, from /proc/self/exe.
std::filesystem::path posix_executable_directory();

}  // namespace scenario::platform
