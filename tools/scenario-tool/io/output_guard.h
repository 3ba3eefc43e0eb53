#pragma once

#include <filesystem>
#include <span>

namespace scenario::tool {

// Refuses, with EnvironmentError and before anything is written, an output name that cannot
// take the output: one that is not a regular file (a link of any kind, a directory, a FIFO, a
// device, a socket), or one that is an input of the same command, by this name or another (a
// hard link), which the output would destroy.
void check_output(const std::filesystem::path& output,
                  std::span<const std::filesystem::path> inputs = {});

}  // namespace scenario::tool
