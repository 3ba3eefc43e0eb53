#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/build_state.h"
#include "compiler/model/numbers.h"
#include "compiler/model/record_fault.h"

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

// Tells the author's tools that new approach marks replaced those on these cells.
inline void tell_marks_replaced(BuildState& state, std::string_view kind, std::int32_t position,
                                const std::vector<std::int32_t>& cells) {
    std::string listed = cells.size() > 1 ? "cells " : "cell ";
    for (std::size_t i = 0; i < cells.size(); ++i) {
        listed += (i == 0 ? "" : i + 1 == cells.size() ? " and " : ", ") + std::to_string(cells[i]);
    }
    tell_helper(state, Diag::approach_marks_overwritten, position,
                {{"kind", std::string(kind)}, {"cells", listed}}, cells);
}

}  // namespace scenario::compiler
