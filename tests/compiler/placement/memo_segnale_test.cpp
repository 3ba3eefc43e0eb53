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

// The values of a signal row after its position, tempo last.
struct Signal {
    std::int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0,
                 tempo = 0;
};

void place(BuildState& state, std::int32_t posizione, Signal& s) {
    memo_segnale(state, posizione, s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3, s.tempo);
}

TEST(MemoSegnale, SignalAt1850GoesOnCell38WithMarksOnEverySecondCellBefore) {
    auto state = route(100);
    Signal s{.sx = 1, .s1 = 4};
    place(state, 1850, s);
    TrackCell signal;
    signal.kind = cell_kind::signal;
    signal.ref = 40;
    signal.ref4 = 3;
    auto expected = route(100).cells;
    expected[38] = signal;
    expected[36].approachMark = 31;
    expected[34].approachMark = 32;
    expected[32].approachMark = 33;
    expected[30].approachMark = 34;
    EXPECT_EQ(state.cells, expected);
    EXPECT_EQ(state.errorNumber, 0);
}

TEST(MemoSegnale, PacksEveryValueOfTheRow) {
    auto state = route(100);
    Signal s{.sx = 1, .s1 = 4, .s2 = 5, .s3 = 6, .rapp = 2, .dx = 2, .d1 = 1, .d2 = 2, .d3 = 3};
    place(state, 1850, s);
    const auto& c = state.cells[38];
    EXPECT_EQ(c.ref4, 25);  // rapp * 10 + sx * 3 + dx
    EXPECT_EQ(c.ref, 41);
    EXPECT_EQ(c.ref2, 52);
    EXPECT_EQ(c.ref3, 63);
    EXPECT_EQ(state.cells[36].approachMark, 51);
    EXPECT_EQ(state.cells[30].approachMark, 54);
}

TEST(MemoSegnale, PackedValuesKeepTheirLowBits) {
    auto state = route(100);
    Signal s{.sx = 10, .s1 = 4000, .rapp = 2147483647, .dx = 0};
    place(state, 1850, s);
    EXPECT_EQ(state.cells[38].ref, -25536);  // 40000
    // 21474836470 + 30 = 21474836500: its low 16 bits.
    EXPECT_EQ(state.cells[38].ref4, 20);
    EXPECT_EQ(state.cells[36].approachMark, 45);  // 301
}

TEST(MemoSegnale, TempoUpTo100BecomesAtLeast101AndGivesTheTimeOnlyWithSx2) {
    struct Case {
        std::int32_t sx, tempo, tempo_after;
        std::uint8_t signalTime;
    };
    const Case cases[] = {
        {2, 50, 101, 101}, {2, 1, 101, 101}, {2, 100, 101, 101}, {2, 101, 101, 101},
        {2, 0, 0, 0},      {2, -5, -5, 251}, {2, 250, 250, 250}, {2, 300, 300, 44},
        {1, 50, 101, 0},   {0, 250, 250, 0},
    };
    for (const auto& c : cases) {
        auto state = route(100);
        Signal s{.sx = c.sx, .tempo = c.tempo};
        place(state, 1850, s);
        EXPECT_EQ(s.tempo, c.tempo_after) << c.sx << " " << c.tempo;
        EXPECT_EQ(state.cells[38].signalTime, c.signalTime) << c.sx << " " << c.tempo;
    }
}

TEST(MemoSegnale, Sx2GivesMarks61To64) {
    auto state = route(100);
    Signal s{.sx = 2, .tempo = 250};
    place(state, 1850, s);
    EXPECT_EQ(state.cells[36].approachMark, 61);
    EXPECT_EQ(state.cells[34].approachMark, 62);
    EXPECT_EQ(state.cells[32].approachMark, 63);
    EXPECT_EQ(state.cells[30].approachMark, 64);
    EXPECT_EQ(state.cells[38].signalTime, 250);
}

TEST(MemoSegnale, PositionsOnAHalfCellRoundToEven) {
    auto state = route(100);
    Signal a{.s1 = 1}, b{.s1 = 2};
    place(state, 1875, a);
    place(state, 1925, b);
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.cells[38].ref, 10);
    EXPECT_EQ(state.cells[40].ref, 20);
    EXPECT_EQ(state.cells[39].kind, cell_kind::empty);
}

TEST(MemoSegnale, TakenCellRecords16AndWritesNothing) {
    for (const std::uint8_t kind : {1, 2, 3, 4, 5, 6, 10, 12, 13, 14}) {
        auto state = route(100);
        state.cells[38].kind = kind;
        const auto before = state.cells;
        Signal s{.sx = 2, .s1 = 4, .tempo = 50};
        place(state, 1850, s);
        EXPECT_EQ(state.errorNumber, number_of(Fault::signal_cell_taken)) << int{kind};
        EXPECT_EQ(state.cells, before) << int{kind};
        EXPECT_EQ(s.tempo, 50) << int{kind};
    }
}

TEST(MemoSegnale, SignalReplacesAMountainMarker) {
    auto state = route(100);
    state.cells[38].kind = cell_kind::mountain_marker;
    state.cells[38].spanKind = 3;
    Signal s{.sx = 1, .s1 = 4};
    place(state, 1850, s);
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.cells[38].kind, cell_kind::signal);
    EXPECT_EQ(state.cells[38].spanKind, 3);
}

TEST(MemoSegnale, MarksGoOnAnyCellWithoutChangingItsKind) {
    auto state = route(100);
    state.cells[36].kind = cell_kind::sign_board;
    state.cells[34].kind = cell_kind::station_stop;
    state.cells[34].approachMark = 82;  // a station stop's mark is overwritten
    Signal s{.sx = 1};
    place(state, 1850, s);
    EXPECT_EQ(state.cells[36].kind, cell_kind::sign_board);
    EXPECT_EQ(state.cells[36].approachMark, 31);
    EXPECT_EQ(state.cells[34].kind, cell_kind::station_stop);
    EXPECT_EQ(state.cells[34].approachMark, 32);
}

TEST(MemoSegnale, MarksBeforeTheFirstCellAreLeftOut) {
    auto state = route(100);
    Signal s{.sx = 1};
    place(state, 200, s);  // cell 5: marks on 3 and 1, the other two would be on -1 and -3
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.cells[5].kind, cell_kind::signal);
    EXPECT_EQ(state.cells[3].approachMark, 31);
    EXPECT_EQ(state.cells[1].approachMark, 32);
    EXPECT_EQ(state.cells[0].approachMark, 0);
    EXPECT_EQ(state.cells[2].approachMark, 0);
}

TEST(MemoSegnale, CellOutsideTheRouteRecords16) {
    for (const std::int32_t posizione : {4950, 2147483647, -100}) {
        auto state = route(100);
        Signal s{.sx = 2, .tempo = 50};
        place(state, posizione, s);
        EXPECT_EQ(state.errorNumber, number_of(Fault::signal_cell_taken)) << posizione;
        EXPECT_EQ(state.cells, route(100).cells) << posizione;
        EXPECT_EQ(s.tempo, 50) << posizione;
    }
}

}  // namespace
}  // namespace scenario::compiler
