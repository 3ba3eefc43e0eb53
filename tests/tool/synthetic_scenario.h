#pragma once

#include <filesystem>

#include "compiler/model/build_state.h"

namespace scenario::testing {

// A small scenario put straight into the model, as the readers would leave it: a 20 km line
// with curves in its plan, gradients, speeds and adhesion per cell, three mountain spans, four
// stations (one passed without a stop), a sign board, signals and one slowdown with its
// boards. Titled "LAGO & MONTE" / "T00001" so that the names need escaping in XML.
compiler::BuildState synthetic_state(bool with_plan = true);

// Stamps the synthetic model and writes its compact files into the directory, as the compile
// driver does.
void write_synthetic_scenario(const std::filesystem::path& directory, bool with_plan = true);

}  // namespace scenario::testing
