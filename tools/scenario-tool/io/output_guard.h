#pragma once

#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace scenario::tool {

// Refuses, with EnvironmentError and before anything is written, an output name that cannot
// take the output: one that is not a regular file (a link of any kind, a directory, a FIFO, a
// device, a socket), or one that is an input of the same command, by this name or another (a
// hard link), which the output would destroy.
void check_output(const std::filesystem::path& output,
                  std::span<const std::filesystem::path> inputs = {});

// The output directory must exist, and every output name in it must be able to take its file
// (see check_output): a regular file or free, and none of the inputs, by this name or another.
// All found before anything is compiled or written. Throws EnvironmentError.
void check_outputs(const std::filesystem::path& directory, const std::vector<std::string>& names,
                   std::initializer_list<std::filesystem::path> inputs);

}  // namespace scenario::tool
