#pragma once

#include <filesystem>

#include "compiler/model/build_state.h"

namespace scenario::compiler {

// Reads the line description file and then the train service file of the directory into the
// model, deleting each text once read. Faults are recorded in errorNumber / errorPosition.
void memorizza_dati(BuildState& state, const std::filesystem::path& directory);

}  // namespace scenario::compiler
