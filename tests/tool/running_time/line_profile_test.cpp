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
}

TEST(CurveStretches, BendTheMetresTheBuildBendsWithTheClassRadius) {
    // Each case: the records, then the stretches [from, to) with their radius.
    struct Case {
        std::vector<CurveRecord> records;
        std::vector<CurveStretch> stretches;
    } const cases[] = {
        {{{"curvas3", 850, 500}}, {{850, 1350, 2500}}},
        // "1" is tested first, whatever stands before it.
        {{{"curva61", 100, 50}, {"CURVAD6", 200, 50}}, {{100, 150, 10000}, {200, 250, 1000 / 3.0}}},
        // An earlier curve already bent the metres up to its end.
        {{{"curvad4", 1000, 300}, {"curvas5", 1200, 300}}, {{1000, 1300, 1000}, {1300, 1500, 500}}},
        // One inside another bends nothing more; nor does one without a length.
        {{{"curvad2", 1000, 500}, {"curvas5", 1100, 100}, {"curvas5", 2000, 0}},
         {{1000, 1500, 5000}}},
    };
    for (const auto& c : cases) {
        const auto got = curve_stretches(c.records);
        ASSERT_EQ(got.size(), c.stretches.size()) << c.records.front().keyword;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].from, c.stretches[i].from) << c.records.front().keyword;
            EXPECT_EQ(got[i].to, c.stretches[i].to) << c.records.front().keyword;
            EXPECT_DOUBLE_EQ(got[i].radius, c.stretches[i].radius) << c.records.front().keyword;
        }
    }
}

}  // namespace
}  // namespace scenario::running_time
