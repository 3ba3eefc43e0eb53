#pragma once

#include <cstdint>

#include "compiler/model/build_state.h"

namespace scenario::compiler {

// Adds code points around every slowdown: before the signals shortly before its warning board,
// in three windows before its start, every 8 cells along a slow slowdown and before the first
// signal after its end. Faults are recorded (11, 12, 13) and never stop the pass.
// Returns the number of code points placed.
std::int32_t signalling_pass(BuildState& state);

}  // namespace scenario::compiler
