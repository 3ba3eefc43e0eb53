#pragma once

#include <cstdint>

#include "compiler/model/build_state.h"
#include "compiler/model/numbers.h"

namespace scenario::compiler {

// Orders the three kilometric ranges of entries 81 to 83 and adds 100 to the kilometric value
// of every range whose sense is 1.
void progressive_ordina(BuildState& state);

// One mountain span: spanKind over its cells, a marker every fourth cell for codes above 10,
// kind 3 when it begins at most 150 m after the previous span. `tipo` may change.
void memo_montagna(BuildState& state, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo);

// One maximum-speed board; error 21 when its cell is taken.
void memo_indicatori_v_max(BuildState& state, std::int32_t posizione, std::int32_t vas,
                           std::int32_t vbs, std::int32_t vcs, std::int32_t strisces,
                           std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                           std::int32_t strisced);

// One signal and its approach marks; error 16 when its cell is taken. `tempo` may change.
void memo_segnale(BuildState& state, std::int32_t posizione, std::int32_t sx, std::int32_t s1,
                  std::int32_t s2, std::int32_t s3, std::int32_t rapp, std::int32_t dx,
                  std::int32_t d1, std::int32_t d2, std::int32_t d3, std::int32_t& tempo);

// One slowdown: end, start and warning boards and the four approach cells; errors 17 to 20.
void memo_rallentamento(BuildState& state, std::int32_t x, std::int32_t v, std::int32_t l,
                        std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v);

}  // namespace scenario::compiler
