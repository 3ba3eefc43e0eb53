#pragma once

#include <filesystem>

namespace scenario::fuzzing {

// A directory of this process for the texts and the compact files, in memory where the system
// offers it, removed when the process ends.
const std::filesystem::path& fuzz_directory();

}  // namespace scenario::fuzzing
