#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::tool {

// A path as it is shown to the author: UTF-8, whatever bytes it holds.
std::string shown(const std::filesystem::path& path);

// The bytes of one of the author's texts. Throws EnvironmentError naming `what` when it does not
// exist, is a directory or cannot be read.
std::string read_input(const std::filesystem::path& file, std::string_view what);

// The output directory must exist, and every output name in it must be able to take its file
// (see check_output): a regular file or free, and none of the inputs, by this name or another.
// All found before anything is compiled or written. Throws EnvironmentError.
void check_outputs(const std::filesystem::path& directory, const std::vector<std::string>& names,
                   std::initializer_list<std::filesystem::path> inputs);

// A name typed on the command line (a title, a code, a station) as the Windows-1252 bytes of
// the scenario files. Throws UsageError naming the option when it cannot be held.
std::string windows_1252_argument(const std::string& given, std::string_view option);

}  // namespace scenario::tool
