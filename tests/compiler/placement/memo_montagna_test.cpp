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

// The indices of the cells holding a mountain marker.
std::vector<std::size_t> markers(const BuildState& state) {
    std::vector<std::size_t> found;
    for (std::size_t c = 0; c < state.cells.size(); ++c) {
        if (state.cells[c].kind == cell_kind::mountain_marker) {
            found.push_back(c);
        }
    }
    return found;
}

TEST(MemoMontagna, CodeTwelveCoversItsCellsWithKindTwoAndAMarkerOnTheFourth) {
    auto state = route(200);
    std::int32_t tipo = 12;
    memo_montagna(state, 6400, 6700, tipo);
    EXPECT_EQ(tipo, 2);
    for (std::size_t c = 0; c < state.cells.size(); ++c) {
        EXPECT_EQ(state.cells[c].spanKind, c >= 128 && c <= 133 ? 2 : 0) << c;
    }
    EXPECT_EQ(markers(state), std::vector<std::size_t>{131});
    EXPECT_EQ(state.spanCount, 1);
    EXPECT_EQ(state.spanStarts[1], 6400);
    EXPECT_EQ(state.spanEnds[1], 6700);
    EXPECT_EQ(state.errorNumber, 0);
}

TEST(MemoMontagna, CodesAboveTenAddMarkersEveryFourthCell) {
    struct Case {
        std::int32_t code;
        std::uint8_t spanKind;
        std::vector<std::size_t> markers;
    };
    const Case cases[] = {
        {12, 2, {23, 27, 31}},  // span 1000-1650: cells 20..32
        {2, 2, {}},
        {13, 3, {23, 27, 31}},
        {3, 3, {}},
    };
    for (const auto& c : cases) {
        auto state = route(60);
        std::int32_t tipo = c.code;
        memo_montagna(state, 1000, 1650, tipo);
        EXPECT_EQ(tipo, c.spanKind) << c.code;
        EXPECT_EQ(state.cells[20].spanKind, c.spanKind) << c.code;
        EXPECT_EQ(state.cells[32].spanKind, c.spanKind) << c.code;
        EXPECT_EQ(state.cells[33].spanKind, 0) << c.code;
        EXPECT_EQ(markers(state), c.markers) << c.code;
    }
}

TEST(MemoMontagna, FiftyMetreSpanCoversOneCellWithoutMarker) {
    auto state = route(60);
    std::int32_t tipo = 12;
    memo_montagna(state, 1000, 1050, tipo);
    EXPECT_EQ(state.cells[20].spanKind, 2);
    EXPECT_EQ(state.cells[19].spanKind, 0);
    EXPECT_EQ(state.cells[21].spanKind, 0);
    EXPECT_TRUE(markers(state).empty());
}

TEST(MemoMontagna, CellRangeRoundsTiesToEven) {
    // 6425 / 50 = 128.5 gives 128; 6475 / 50 = 129.5 gives 130; 6725 / 50 - 1 = 133.5 gives 134.
    auto state = route(200);
    std::int32_t tipo = 1;
    memo_montagna(state, 6475, 6725, tipo);
    EXPECT_EQ(state.cells[129].spanKind, 0);
    EXPECT_EQ(state.cells[130].spanKind, 1);
    EXPECT_EQ(state.cells[134].spanKind, 1);
    EXPECT_EQ(state.cells[135].spanKind, 0);
    auto other = route(200);
    tipo = 1;
    memo_montagna(other, 6425, 6460, tipo);  // first 128, last round(128.2) = 128
    EXPECT_EQ(other.cells[128].spanKind, 1);
    EXPECT_EQ(other.cells[129].spanKind, 0);
}

TEST(MemoMontagna, SpanEndingBeforeItStartsTouchesNoCellButIsCounted) {
    auto state = route(200);
    std::int32_t tipo = 12;
    memo_montagna(state, 6400, 6400, tipo);
    EXPECT_EQ(state.cells, route(200).cells);
    EXPECT_EQ(state.spanCount, 1);
    EXPECT_EQ(state.spanEnds[1], 6400);
}

TEST(MemoMontagna, SpanNearThePreviousOneBecomesKindThree) {
    struct Case {
        std::int32_t start;
        std::int32_t code;
        std::int32_t becomes;
        bool marked;
    };
    // The previous span ends at 2000.
    const Case cases[] = {
        {2150, 2, 3, false},  // exactly 150 m after
        {2200, 2, 2, false},  // 200 m after keeps its own kind
        {1800, 1, 3, false},  // overlapping
        {2150, 12, 3, true},  // the marker flag survives the change to kind 3
        {2200, 11, 1, true},  // code 11 alone: kind 1 with markers
    };
    for (const auto& c : cases) {
        auto state = route(120);
        std::int32_t first = 1;
        memo_montagna(state, 1000, 2000, first);
        std::int32_t tipo = c.code;
        memo_montagna(state, c.start, c.start + 400, tipo);
        EXPECT_EQ(tipo, c.becomes) << c.start << " " << c.code;
        const auto first_cell = static_cast<std::size_t>(c.start / 50);
        EXPECT_EQ(state.cells[first_cell + 1].spanKind, c.becomes) << c.start;
        EXPECT_EQ(state.cells[first_cell + 3].kind,
                  c.marked ? cell_kind::mountain_marker : cell_kind::empty)
            << c.start << " " << c.code;
        EXPECT_EQ(state.spanCount, 2);
    }
}

TEST(MemoMontagna, MarkersOnlyReplaceEmptyCellsAndKeepTheirSpanKind) {
    auto state = route(60);
    state.cells[23].kind = cell_kind::signal;
    state.cells[23].ref = 40;
    state.cells[27].kind = cell_kind::sign_board;
    std::int32_t tipo = 12;
    memo_montagna(state, 1000, 1650, tipo);
    EXPECT_EQ(state.cells[23].kind, cell_kind::signal);
    EXPECT_EQ(state.cells[23].ref, 40);
    EXPECT_EQ(state.cells[23].spanKind, 2);
    EXPECT_EQ(state.cells[27].kind, cell_kind::sign_board);
    EXPECT_EQ(state.cells[31].kind, cell_kind::mountain_marker);
    EXPECT_EQ(state.cells[31].spanKind, 2);
    EXPECT_EQ(state.errorNumber, 0);
}

TEST(MemoMontagna, SpanIsClippedToTheCellsAndKeepsItsMarkerPlaces) {
    // Cells 0..20. 800-1500 covers 16..29: only 16..20 exist, the marker stays on 19.
    auto state = route(21);
    std::int32_t tipo = 12;
    memo_montagna(state, 800, 1500, tipo);
    for (std::size_t c = 16; c <= 20; ++c) {
        EXPECT_EQ(state.cells[c].spanKind, 2) << c;
    }
    EXPECT_EQ(state.cells[15].spanKind, 0);
    EXPECT_EQ(markers(state), std::vector<std::size_t>{19});

    // -150..500 covers -3..9: the markers are counted from -3, so they land on 0, 4 and 8.
    auto early = route(21);
    tipo = 12;
    memo_montagna(early, -150, 500, tipo);
    for (std::size_t c = 0; c <= 9; ++c) {
        EXPECT_EQ(early.cells[c].spanKind, 2) << c;
    }
    EXPECT_EQ(early.cells[10].spanKind, 0);
    EXPECT_EQ(markers(early), (std::vector<std::size_t>{0, 4, 8}));
    EXPECT_EQ(early.errorNumber, 0);
}

TEST(MemoMontagna, SpanBeyondTheRouteOrWithoutCellsWritesNothing) {
    auto state = route(21);
    std::int32_t tipo = 12;
    memo_montagna(state, 5000, 6000, tipo);
    EXPECT_EQ(state.cells, route(21).cells);
    BuildState no_cells;
    tipo = 12;
    memo_montagna(no_cells, 0, 1000, tipo);
    EXPECT_EQ(no_cells.spanCount, 1);
}

TEST(MemoMontagna, EightyFirstSpanIsRefusedAndChangesNothing) {
    auto state = route(4000);
    for (std::int32_t n = 0; n < 80; ++n) {
        std::int32_t tipo = 1;
        memo_montagna(state, n * 1000, n * 1000 + 100, tipo);
    }
    ASSERT_EQ(state.errorNumber, 0);
    ASSERT_EQ(state.spanCount, 80);
    EXPECT_EQ(state.spanEnds[80], 79100);
    const auto before = state;
    std::int32_t tipo = 12;
    memo_montagna(state, 100000, 101000, tipo);
    EXPECT_EQ(state.errorNumber, number_of(Fault::too_many_mountain_spans));
    EXPECT_EQ(tipo, 12);
    EXPECT_EQ(state.spanCount, 80);
    EXPECT_EQ(state.spanStarts, before.spanStarts);
    EXPECT_EQ(state.spanEnds, before.spanEnds);
    EXPECT_EQ(state.cells, before.cells);
}

}  // namespace
}  // namespace scenario::compiler
