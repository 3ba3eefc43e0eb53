#include <algorithm>
#include <string>

#include "compiler/model/record_fault.h"
#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"

namespace scenario::compiler {

void memo_montagna(BuildState& state, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo) {
    // The span lists hold 80 spans; a further one is refused, changing nothing, rather than
    // written past them.
    if (state.spanCount >= static_cast<std::int32_t>(kSpanSlots) - 1) {
        record_helper_fault<Fault::too_many_mountain_spans>(state);
        return;
    }
    bool markers = false;
    if (tipo > 10) {
        tipo -= 10;
        markers = true;
    }
    const auto n = static_cast<std::size_t>(++state.spanCount);
    state.spanStarts[n] = inizio;
    state.spanEnds[n] = fine;
    if (n > 1 && static_cast<std::int64_t>(inizio) - state.spanEnds[n - 1] <= 150) {
        tipo = 3;
    }
    // Cells past either end of the route are left out: the span is clipped to the cells.
    const std::int64_t first = round_half_even(inizio / 50.0);
    const std::int64_t last = round_half_even(fine / 50.0 - 1.0);
    const std::int64_t from = std::max<std::int64_t>(first, 0);
    const std::int64_t to = std::min<std::int64_t>(last, state.last_cell());
    for (std::int64_t c = from; c <= to; ++c) {
        auto& cell = state.cells[static_cast<std::size_t>(c)];
        cell.spanKind = low_bits<std::uint8_t>(tipo);
        const std::int64_t k = c - first + 1;  // counted from the span's own first cell
        if (markers && k % 4 == 0 && cell.kind == cell_kind::empty) {
            cell.kind = cell_kind::mountain_marker;
            tell_cells(state, CellUse::marker, c, c);
        }
    }
    if (state.observer == nullptr) {
        return;
    }
    tell_cells(state, CellUse::span, from, to);
    if (first > last) {
        tell_helper(state, Diag::span_empty, inizio,
                    {{"start", std::to_string(inizio)}, {"end", std::to_string(fine)}});
    } else if (last > state.last_cell()) {
        tell_helper(state, Diag::cut_at_route_end, inizio,
                    {{"end", std::to_string(fine)},
                     {"last", std::to_string(std::int64_t{state.last_cell()} * 50)}});
    }
}

}  // namespace scenario::compiler
