#include "compiler/model/record_fault.h"
#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"

namespace scenario::compiler {

namespace {

// A board can go only on a cell that exists and is free.
bool can_place(BuildState& state, std::int64_t index) {
    const TrackCell* cell = cell_at(state, index);
    return cell != nullptr && is_free(*cell);
}

}  // namespace

void memo_rallentamento(BuildState& state, std::int32_t x, std::int32_t v, std::int32_t l,
                        std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v) {
    const std::int64_t w = round_half_even((static_cast<double>(x) - 1200.0) / 50.0 + 1.0);
    const std::int64_t a = board_cell(x);
    const std::int64_t e = board_cell(static_cast<std::int64_t>(x) + l);
    const bool has_warning = x > 1500;
    if (has_warning && !can_place(state, w)) {
        record_helper_fault<Fault::warning_board_cell_taken>(state, w);
        return;
    }
    if (!has_warning) {
        f_ta = 0;
    }
    if (!can_place(state, a)) {
        record_helper_fault<Fault::slowdown_start_cell_taken>(state, a);
        return;
    }
    if (!can_place(state, e)) {
        record_helper_fault<Fault::slowdown_end_cell_taken>(state, e);
        return;
    }
    auto& end = state.cells[static_cast<std::size_t>(e)];
    auto& start = state.cells[static_cast<std::size_t>(a)];
    end.kind = cell_kind::slowdown_end;
    if (d_v != 0) {
        end.ref2 = low_bits<std::int16_t>(d_v);
    }
    start.kind = cell_kind::slowdown_start;
    if (d_v != 0) {
        start.ref2 = low_bits<std::int16_t>(d_v);
    }
    if (has_warning) {
        auto& warning = state.cells[static_cast<std::size_t>(w)];
        warning.kind = cell_kind::slowdown_warning;
        if (d_v != 0) {
            warning.ref2 = low_bits<std::int16_t>(d_v);
        }
        warning.ref = low_bits<std::int16_t>(v);
    }
    start.ref = end.ref = low_bits<std::int16_t>(v);
    start.ref3 = end.ref3 = low_bits<std::int16_t>(f_tt);
    tell_cells(state, CellUse::object, e, e);
    tell_cells(state, CellUse::object, a, a);
    if (has_warning) {
        tell_cells(state, CellUse::object, w, w);
    }
    if (f_ta == 0) {
        return;
    }
    const std::int64_t j = round_half_even((static_cast<double>(x) - 1200.0) / 50.0);
    for (std::int64_t k = 0; k <= 3; ++k) {
        if (!can_place(state, j - k)) {
            record_helper_fault<Fault::approach_cell_taken>(state, j - k);
            return;
        }
    }
    for (std::int64_t k = 0; k <= 3; ++k) {
        auto& approach = state.cells[static_cast<std::size_t>(j - k)];
        approach.kind = cell_kind::warning_approach;
        approach.ref = low_bits<std::int16_t>(k + 1);
        if (d_v != 0) {
            approach.ref2 = low_bits<std::int16_t>(k + 1);
        }
    }
    tell_cells(state, CellUse::object, j - 3, j);
}

}  // namespace scenario::compiler
