#include <gtest/gtest.h>

#include <vector>

#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/placement/placement.h"

namespace scenario::compiler {
namespace {

BuildState route(std::size_t cell_count) {
    BuildState state;
    state.cells = std::vector<TrackCell>(cell_count);
    return state;
}

struct Slowdown {
    std::int32_t x, v, l, f_tt, f_ta, d_v;
};

void place(BuildState& state, const Slowdown& s) {
    memo_rallentamento(state, s.x, s.v, s.l, s.f_tt, s.f_ta, s.d_v);
}

TrackCell board(std::uint8_t kind, std::int16_t ref, std::int16_t ref2 = 0, std::int16_t ref3 = 0) {
    TrackCell c;
    c.kind = kind;
    c.ref = ref;
    c.ref2 = ref2;
    c.ref3 = ref3;
    return c;
}

// This scenario's one slowdown, on cells 0..1499.
constexpr Slowdown kScenario{71200, 40, 300, 1, 1, 0};

TEST(MemoRallentamento, SlowdownAt71200PlacesItsBoardsAndFourApproachCells) {
    auto state = route(1500);
    place(state, kScenario);
    auto expected = route(1500).cells;
    expected[1401] = board(cell_kind::slowdown_warning, 40);
    expected[1425] = board(cell_kind::slowdown_start, 40, 0, 1);
    expected[1431] = board(cell_kind::slowdown_end, 40, 0, 1);
    for (std::int16_t k = 0; k < 4; ++k) {
        expected[1400 - k] = board(cell_kind::warning_approach, k + 1);
    }
    EXPECT_EQ(state.cells, expected);
    EXPECT_EQ(state.errorNumber, 0);
}

TEST(MemoRallentamento, NonZeroDvGoesIntoRef2OfEveryBoardAndApproachCell) {
    auto state = route(1500);
    place(state, {71200, 40, 300, 1, 1, 7});
    EXPECT_EQ(state.cells[1401], board(cell_kind::slowdown_warning, 40, 7));
    EXPECT_EQ(state.cells[1425], board(cell_kind::slowdown_start, 40, 7, 1));
    EXPECT_EQ(state.cells[1431], board(cell_kind::slowdown_end, 40, 7, 1));
    for (std::int16_t k = 0; k < 4; ++k) {
        EXPECT_EQ(state.cells[1400 - k], board(cell_kind::warning_approach, k + 1, k + 1));
    }
}

TEST(MemoRallentamento, ZeroDvLeavesRef2Untouched) {
    auto state = route(1500);
    for (auto& c : state.cells) {
        c.ref2 = 77;
    }
    place(state, kScenario);
    for (const std::size_t c : {1397, 1398, 1399, 1400, 1401, 1425, 1431}) {
        EXPECT_EQ(state.cells[c].ref2, 77) << c;
        EXPECT_NE(state.cells[c].kind, cell_kind::empty) << c;
    }
}

TEST(MemoRallentamento, NoWarningNorApproachAt1500OrBefore) {
    struct Case {
        std::int32_t x;
        bool warned;
    };
    for (const auto c : {Case{1500, false}, Case{0, false}, Case{1550, true}}) {
        auto state = route(100);
        place(state, {c.x, 30, 300, 0, 1, 0});
        const auto a = static_cast<std::size_t>(c.x / 50 + 1);
        EXPECT_EQ(state.cells[a].kind, cell_kind::slowdown_start) << c.x;
        EXPECT_EQ(state.cells[a + 6].kind, cell_kind::slowdown_end) << c.x;
        std::size_t placed = 0;
        for (const auto& cell : state.cells) {
            placed += cell.kind != cell_kind::empty;
        }
        EXPECT_EQ(placed, c.warned ? 7u : 2u) << c.x;
        if (c.warned) {
            EXPECT_EQ(state.cells[8].kind, cell_kind::slowdown_warning);
            EXPECT_EQ(state.cells[4].kind, cell_kind::warning_approach);
            EXPECT_EQ(state.cells[7].kind, cell_kind::warning_approach);
        }
    }
}

TEST(MemoRallentamento, WithoutAWarningItsCellIsNotTested) {
    auto state = route(100);
    state.cells[7].kind = cell_kind::signal;  // where a warning for 1500 would stand
    place(state, {1500, 30, 300, 0, 1, 0});
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.cells[31].kind, cell_kind::slowdown_start);
}

TEST(MemoRallentamento, PositionsOnAHalfCellRoundToEven) {
    auto state = route(100);
    place(state, {1875, 30, 50, 0, 0, 0});  // start 38.5, end 39.5, warning 14.5
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.cells[38].kind, cell_kind::slowdown_start);
    EXPECT_EQ(state.cells[40].kind, cell_kind::slowdown_end);
    EXPECT_EQ(state.cells[14].kind, cell_kind::slowdown_warning);
}

TEST(MemoRallentamento, TakenBoardCellRecordsItsNumberAndWritesNothing) {
    struct Case {
        std::size_t taken;
        Fault error;
    };
    // Checked in the order warning, start, end: the first taken one decides.
    const Case cases[] = {{1401, Fault::warning_board_cell_taken},
                          {1425, Fault::slowdown_start_cell_taken},
                          {1431, Fault::slowdown_end_cell_taken}};
    for (const auto& c : cases) {
        for (const std::uint8_t kind : {1, 2, 3, 4, 5, 6, 10, 12, 13, 14}) {
            auto state = route(1500);
            state.cells[c.taken].kind = kind;
            if (c.error == Fault::warning_board_cell_taken) {
                state.cells[1425].kind = cell_kind::signal;
            }
            const auto before = state.cells;
            place(state, kScenario);
            EXPECT_EQ(state.errorNumber, number_of(c.error)) << c.taken << " " << int{kind};
            EXPECT_EQ(state.cells, before) << c.taken << " " << int{kind};
        }
    }
}

TEST(MemoRallentamento, TakenApproachCellRecords20AndKeepsTheBoards) {
    for (const std::size_t taken : {1400, 1399, 1398, 1397}) {
        auto state = route(1500);
        state.cells[taken].kind = cell_kind::station_stop;
        place(state, kScenario);
        EXPECT_EQ(state.errorNumber, number_of(Fault::approach_cell_taken)) << taken;
        EXPECT_EQ(state.cells[1401].kind, cell_kind::slowdown_warning) << taken;
        EXPECT_EQ(state.cells[1425].kind, cell_kind::slowdown_start) << taken;
        EXPECT_EQ(state.cells[1431].kind, cell_kind::slowdown_end) << taken;
        for (std::size_t c = 1397; c <= 1400; ++c) {
            EXPECT_EQ(state.cells[c].kind, c == taken ? cell_kind::station_stop : cell_kind::empty)
                << taken;
        }
    }
}

TEST(MemoRallentamento, BoardsReplaceMountainMarkers) {
    auto state = route(1500);
    for (const std::size_t c : {1397, 1398, 1399, 1400, 1401, 1425, 1431}) {
        state.cells[c].kind = cell_kind::mountain_marker;
        state.cells[c].spanKind = 2;
    }
    place(state, kScenario);
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.cells[1401].kind, cell_kind::slowdown_warning);
    EXPECT_EQ(state.cells[1397].kind, cell_kind::warning_approach);
    EXPECT_EQ(state.cells[1431].spanKind, 2);
}

TEST(MemoRallentamento, BoardsOutsideTheRouteRecordTheirNumberAndWriteNothing) {
    struct Case {
        const char* what;
        Slowdown s;
        Fault error;
    };
    const Case cases[] = {
        {"warning beyond the last cell",
         {80000, 40, 300, 0, 1, 0},
         Fault::warning_board_cell_taken},
        {"start before the first cell",
         {-1000, 40, 300, 0, 1, 0},
         Fault::slowdown_start_cell_taken},
        {"start beyond a short route", {1000, 40, 300, 0, 0, 0}, Fault::slowdown_start_cell_taken},
        {"end beyond the last cell", {71200, 40, 5000, 0, 1, 0}, Fault::slowdown_end_cell_taken},
        {"end before the first cell", {1000, 40, -2000, 0, 0, 0}, Fault::slowdown_end_cell_taken},
        {"end far beyond", {71200, 40, 2147483647, 0, 0, 0}, Fault::slowdown_end_cell_taken},
    };
    for (const auto& c : cases) {
        auto state = route(c.error == Fault::slowdown_start_cell_taken && c.s.x > 0 ? 15 : 1500);
        const auto before = state.cells;
        place(state, c.s);
        EXPECT_EQ(state.errorNumber, number_of(c.error)) << c.what;
        EXPECT_EQ(state.cells, before) << c.what;
    }
}

TEST(MemoRallentamento, SpeedAndFlagKeepTheirLowSixteenBits) {
    auto state = route(1500);
    place(state, {71200, 70000, 300, -1, 1, 40000});
    EXPECT_EQ(state.cells[1425], board(cell_kind::slowdown_start, 4464, -25536, -1));
    EXPECT_EQ(state.cells[1401].ref, 4464);
}

}  // namespace
}  // namespace scenario::compiler
