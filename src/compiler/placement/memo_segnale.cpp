#include "compiler/model/record_fault.h"
#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"

namespace scenario::compiler {

void memo_segnale(BuildState& state, std::int32_t posizione, std::int32_t sx, std::int32_t s1,
                  std::int32_t s2, std::int32_t s3, std::int32_t rapp, std::int32_t dx,
                  std::int32_t d1, std::int32_t d2, std::int32_t d3, std::int32_t& tempo) {
    const std::int64_t c = board_cell(posizione);
    TrackCell* cell = cell_at(state, c);
    if (cell == nullptr || !is_free(*cell)) {
        record_helper_fault<Fault::signal_cell_taken>(state, cell == nullptr ? -1 : c);
        return;
    }
    using W = std::int64_t;
    cell->kind = cell_kind::signal;
    cell->ref4 = low_bits<std::int16_t>(W{rapp} * 10 + W{sx} * 3 + dx);
    cell->ref = low_bits<std::int16_t>(W{s1} * 10 + d1);
    cell->ref2 = low_bits<std::int16_t>(W{s2} * 10 + d2);
    cell->ref3 = low_bits<std::int16_t>(W{s3} * 10 + d3);
    if (tempo >= 1 && tempo <= 100) {
        tempo = 101;
    }
    cell->signalTime = sx == 2 ? low_bits<std::uint8_t>(tempo) : 0;
    tell_cells(state, CellUse::object, c, c);
    // Approach marks on every second cell before the signal; marks that would fall before the
    // start of the route are left out.
    std::vector<std::int32_t> replaced;
    for (std::int64_t k = 1; k <= 4; ++k) {
        if (TrackCell* mark = cell_at(state, c - 2 * k)) {
            if (state.observer != nullptr && mark->approachMark != 0) {
                replaced.push_back(static_cast<std::int32_t>(c - 2 * k));
            }
            mark->approachMark = low_bits<std::uint8_t>((W{sx} * 3 + dx) * 10 + k);
            tell_cells(state, CellUse::approach_mark, c - 2 * k, c - 2 * k);
        }
    }
    if (!replaced.empty()) {
        tell_marks_replaced(state, "signal", posizione, replaced);
    }
}

}  // namespace scenario::compiler
