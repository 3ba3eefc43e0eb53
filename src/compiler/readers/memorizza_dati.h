#pragma once

#include <filesystem>

#include "compiler/model/build_state.h"

namespace scenario::compiler {

// Reads the line description file and then the train service file of the directory into the
// model. Faults are recorded in errorNumber / errorPosition (and errorSite); whatever cannot be
// read is error 25. Both texts are temporaries: neither is left in the directory afterwards.
void memorizza_dati(BuildState& state, const std::filesystem::path& directory);

}  // namespace scenario::compiler
