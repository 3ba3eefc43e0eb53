#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace scenario::tool {

// The bytes of one of the author's texts. Throws EnvironmentError naming `what` when it does not
// exist, is a directory or cannot be read.
std::string read_input(const std::filesystem::path& file, std::string_view what);

}  // namespace scenario::tool
