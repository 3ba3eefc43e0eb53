#pragma once

#include <cstdint>
#include <optional>

#include "compiler/model/build_state.h"
#include "compiler/model/numbers.h"

namespace scenario::compiler {

// The cell of a position for signals, slowdowns and speed boards: round(p / 50 + 1).
inline std::int64_t board_cell(std::int64_t position) {
    return round_half_even(static_cast<double>(position) / 50.0 + 1.0);
}

// The cell at the index, or nothing when the index lies outside the cell array.
inline TrackCell* cell_at(BuildState& state, std::int64_t index) {
    if (index < 0 || index > state.last_cell()) {
        return nullptr;
    }
    return &state.cells[static_cast<std::size_t>(index)];
}

}  // namespace scenario::compiler
