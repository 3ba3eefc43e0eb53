#include <limits>
#include <string>

#include "compiler/model/read_failure.h"
#include "compiler/model/record_fault.h"
#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"

namespace scenario::compiler {

namespace {

// A board's speed field: the d speed's fifth added to the s speed times 20, rounded. A value
// that does not fit the 16-bit field is a reading failure, not a silently wrapped speed.
std::int16_t packed_speed(std::int32_t s_speed, std::int32_t d_speed) {
    const double packed = static_cast<double>(d_speed) / 5.0 + static_cast<double>(s_speed) * 20.0;
    const auto rounded = round_half_even(packed);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        throw ReadFailure("the speeds " + std::to_string(s_speed) + " and " +
                          std::to_string(d_speed) + " do not fit a speed board field");
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace

void memo_indicatori_v_max(BuildState& state, std::int32_t posizione, std::int32_t vas,
                           std::int32_t vbs, std::int32_t vcs, std::int32_t strisces,
                           std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                           std::int32_t strisced) {
    const std::int64_t c = board_cell(posizione);
    TrackCell* cell = cell_at(state, c);
    if (cell == nullptr || !is_free(*cell)) {
        record_helper_fault<Fault::speed_board_cell_taken>(state, cell == nullptr ? -1 : c);
        return;
    }
    const auto ref = packed_speed(vas, vad);
    const auto ref2 = packed_speed(vbs, vbd);
    const auto ref3 = packed_speed(vcs, vcd);
    cell->kind = cell_kind::speed_board;
    cell->ref = ref;
    cell->ref2 = ref2;
    cell->ref3 = ref3;
    cell->ref4 = low_bits<std::int16_t>(static_cast<std::int64_t>(strisces) * 10 + strisced);
    tell_cells(state, CellUse::object, c, c);
}

}  // namespace scenario::compiler
