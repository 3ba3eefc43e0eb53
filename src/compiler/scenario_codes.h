#pragma once

#include <cstdint>
#include <string>

#include "compiler/model/build_state.h"

namespace scenario::compiler {

// The first 25 bytes of: train code (entry 86) and line title (entry 85), in lower case, then
// the padding "aabbccddeeffgghhiillmmnnoo".
std::string code_string(const BuildState& state);

// Weighted scenario code: the sum of byte value times its 1-based place over the code string.
std::int32_t codice_gara_st(const BuildState& state);

// Plain scenario code: the sum of the byte values of the code string.
std::int16_t codice_gara_og(const BuildState& state);

}  // namespace scenario::compiler
