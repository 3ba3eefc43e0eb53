#include "running_time/line_profile.h"

#include <gtest/gtest.h>

namespace scenario::running_time {
namespace {

namespace cell_kind = compiler::cell_kind;

compiler::BuildState with_cells(std::size_t count) {
    compiler::BuildState state;
    state.cells.resize(count);
    for (auto& cell : state.cells) {
        cell.speedStep = 18;
        cell.gradientCode = 100;
    }
    return state;
}

void board(compiler::BuildState& state, std::size_t cell, std::uint8_t kind, std::int16_t kmh) {
    state.cells[cell].kind = kind;
    state.cells[cell].ref = kmh;
}

TEST(LineProfile, SlowdownsRunFromTheirStartBoardToTheirEndBoard) {
    auto state = with_cells(100);
    // Two slowdowns that overlap, each end closing the one of its speed; then one whose end
    // board is missing and that restricts to the last cell.
    board(state, 10, cell_kind::slowdown_start, 40);
    board(state, 12, cell_kind::slowdown_start, 60);
    board(state, 15, cell_kind::slowdown_end, 60);
    board(state, 20, cell_kind::slowdown_end, 40);
    board(state, 30, cell_kind::slowdown_warning, 30);  // a warning board restricts nothing
    board(state, 50, cell_kind::slowdown_start, 30);
    const auto p = line_profile_of(state);
    ASSERT_EQ(p.slowdowns.size(), 3u);
    EXPECT_EQ(p.slowdowns[0].first_cell, 12);
    EXPECT_EQ(p.slowdowns[0].last_cell, 15);
    EXPECT_EQ(p.slowdowns[0].kmh, 60);
    EXPECT_EQ(p.slowdowns[1].first_cell, 10);
    EXPECT_EQ(p.slowdowns[1].last_cell, 20);
    EXPECT_EQ(p.slowdowns[2].first_cell, 50);
    EXPECT_EQ(p.slowdowns[2].last_cell, 99);
    EXPECT_EQ(p.limit_kmh[0], 90);
    EXPECT_FALSE(p.has_plan);
}

}  // namespace
}  // namespace scenario::running_time
