#pragma once

#include <filesystem>

#include "compiler/model/build_state.h"

namespace scenario::compiler {

// The builder's reading of its two temporary texts: reads the line description file and the
// train service file of the directory into the model (read_texts), then deletes the line text
// and the train text, on every path. A text that cannot be deleted is a reading failure (25).
void memorizza_dati(BuildState& state, const std::filesystem::path& directory);

}  // namespace scenario::compiler
