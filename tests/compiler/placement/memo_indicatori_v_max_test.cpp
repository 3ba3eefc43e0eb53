#include <gtest/gtest.h>

#include <vector>

#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/read_failure.h"
#include "compiler/placement/placement.h"

namespace scenario::compiler {
namespace {

BuildState route(std::size_t cell_count) {
    BuildState state;
    state.cells = std::vector<TrackCell>(cell_count);
    return state;
}

// posizione, then the s speeds and stripes, then the d speeds and stripes.
struct Board {
    std::int32_t posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
};

void place(BuildState& state, const Board& b) {
    memo_indicatori_v_max(state, b.posizione, b.vas, b.vbs, b.vcs, b.strisces, b.vad, b.vbd, b.vcd,
                          b.strisced);
}

TEST(MemoIndicatoriVMax, BoardAt1100GoesOnCell23WithItsThreeSpeeds) {
    auto state = route(100);
    place(state, {1100, 60, 70, 70, 0, 0, 0, 0, 0});
    TrackCell expected;
    expected.kind = cell_kind::speed_board;
    expected.ref = 1200;
    expected.ref2 = 1400;
    expected.ref3 = 1400;
    auto others = route(100).cells;
    others[23] = expected;
    EXPECT_EQ(state.cells, others);
    EXPECT_EQ(state.errorNumber, 0);
}

TEST(MemoIndicatoriVMax, PacksTheDSpeedFifthRoundedAndTheStripeCounts) {
    auto state = route(100);
    place(state, {1100, 60, 30, 100, 2, 52, 13, 0, 3});
    const auto& c = state.cells[23];
    EXPECT_EQ(c.ref, 1210);   // 1200 + 10.4
    EXPECT_EQ(c.ref2, 603);   // 600 + 2.6
    EXPECT_EQ(c.ref3, 2000);  // 2000 + 0
    EXPECT_EQ(c.ref4, 23);
}

TEST(MemoIndicatoriVMax, StripeCountsKeepTheLowSixteenBitsOfTheWholeSum) {
    auto state = route(100);
    place(state, {1100, 0, 0, 0, 4000, 0, 0, 0, 0});
    EXPECT_EQ(state.cells[23].ref4, -25536);  // 40000
    place(state, {1200, 0, 0, 0, 2147483647, 0, 0, 0, 7});
    EXPECT_EQ(state.cells[25].ref4, -3);  // 21474836477, beyond 32 bits
}

TEST(MemoIndicatoriVMax, PositionsOnAHalfCellRoundToEven) {
    auto state = route(100);
    place(state, {1875, 1, 0, 0, 0, 0, 0, 0, 0});
    place(state, {1925, 2, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(state.cells[38].ref, 20);
    EXPECT_EQ(state.cells[40].ref, 40);
    EXPECT_EQ(state.cells[39].kind, cell_kind::empty);
}

TEST(MemoIndicatoriVMax, TakenCellRecords21AndWritesNothing) {
    for (const std::uint8_t kind : {1, 2, 3, 4, 5, 6, 10, 12, 13, 14}) {
        auto state = route(100);
        state.cells[23].kind = kind;
        state.cells[23].ref = 9;
        const auto before = state.cells;
        place(state, {1100, 60, 70, 70, 1, 0, 0, 0, 1});
        EXPECT_EQ(state.errorNumber, number_of(Fault::speed_board_cell_taken)) << int{kind};
        EXPECT_EQ(state.cells, before) << int{kind};
    }
}

TEST(MemoIndicatoriVMax, BoardReplacesAMountainMarkerAndKeepsTheSpanKind) {
    auto state = route(100);
    state.cells[23].kind = cell_kind::mountain_marker;
    state.cells[23].spanKind = 2;
    place(state, {1100, 60, 70, 70, 0, 0, 0, 0, 0});
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.cells[23].kind, cell_kind::speed_board);
    EXPECT_EQ(state.cells[23].spanKind, 2);
}

TEST(MemoIndicatoriVMax, CellOutsideTheRouteRecords21) {
    for (const std::int32_t posizione : {4950, 100000, -100, -2147483647 - 1}) {
        auto state = route(100);  // cells 0..99: 4950 m would be cell 100
        place(state, {posizione, 60, 70, 70, 0, 0, 0, 0, 0});
        EXPECT_EQ(state.errorNumber, number_of(Fault::speed_board_cell_taken)) << posizione;
        EXPECT_EQ(state.cells, route(100).cells) << posizione;
    }
}

TEST(MemoIndicatoriVMax, SpeedBeyondSixteenBitsIsAReadFailureAndWritesNothing) {
    const Board boards[] = {
        {1100, 1700, 0, 0, 0, 0, 0, 0, 0},    // 34000
        {1100, 0, 0, -1700, 0, 0, 0, 0, 0},   // -34000
        {1100, 0, 0, 0, 0, 0, 170000, 0, 0},  // 34000
        {1100, 2147483647, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& b : boards) {
        auto state = route(100);
        EXPECT_THROW(place(state, b), ReadFailure);
        EXPECT_EQ(state.cells, route(100).cells);
    }
    auto state = route(100);
    place(state, {1100, 1638, 0, 0, 0, 17, 0, 0, 0});  // 32760 + 3.4 still fits
    EXPECT_EQ(state.cells[23].ref, 32763);
}

}  // namespace
}  // namespace scenario::compiler
