#include "compiler/signalling_pass.h"

#include <gtest/gtest.h>

#include <vector>

#include "compiler/compile.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "support/run_program.h"

namespace scenario::compiler {
namespace {

using Cells = std::vector<std::size_t>;

// Cells 0..N, all free. Allocated to the exact size, so that a read past N is caught by the
// address sanitizer.
BuildState route(std::size_t last) {
    BuildState state;
    state.cells = std::vector<TrackCell>(last + 1);
    return state;
}

void put(BuildState& state, std::size_t cell, std::uint8_t kind, std::int16_t ref = 0) {
    state.cells[cell].kind = kind;
    state.cells[cell].ref = ref;
}

// Something that is neither free nor a code point.
void take(BuildState& state, std::size_t cell) {
    put(state, cell, cell_kind::sign_board);
}

// A slowdown start and its end; speed 110 or more gets no spacing points.
void slowdown(BuildState& state, std::size_t start, std::size_t end, std::int16_t speed) {
    put(state, start, cell_kind::slowdown_start, speed);
    put(state, end, cell_kind::slowdown_end, speed);
}

Cells pass_points(const BuildState& before, const BuildState& after) {
    Cells found;
    for (std::size_t c = 0; c < after.cells.size(); ++c) {
        if (after.cells[c].kind == cell_kind::code_point &&
            before.cells[c].kind != cell_kind::code_point) {
            EXPECT_EQ(after.cells[c].ref, 180) << c;
            found.push_back(c);
        }
    }
    return found;
}

// Runs the pass and returns the cells that received a code point; the count returned by the
// pass must agree.
Cells run(BuildState& state) {
    const auto before = state;
    const auto placed = signalling_pass(state);
    const auto points = pass_points(before, state);
    EXPECT_EQ(static_cast<std::size_t>(placed), points.size());
    return points;
}

void expect_no_error(const BuildState& state) {
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.errorSite, ErrorSite{});
}

void expect_error(const BuildState& state, Fault fault, std::int32_t cell) {
    EXPECT_EQ(state.errorNumber, number_of(fault));
    EXPECT_EQ(state.errorPosition, cell * 50);
    EXPECT_EQ(state.errorSite, ErrorSite::of_cell(cell));
}

TEST(SignallingPass, RoutesWithoutRoomForARuleAreLeftAlone) {
    BuildState none;
    EXPECT_EQ(signalling_pass(none), 0);
    expect_no_error(none);
    for (const std::size_t last : {0u, 1u, 2u}) {
        auto state = route(last);
        for (auto& c : state.cells) {
            c.kind = cell_kind::slowdown_start;
        }
        EXPECT_TRUE(run(state).empty()) << last;
        expect_no_error(state);
    }
}

TEST(SignallingPass, OnlyCellsOneToNMinusTwoAreTreated) {
    // A fast start at N - 2, N - 1 and N, and a warning at N - 1 with a signal before it.
    struct Case {
        std::size_t start;
        Cells points;
    };
    for (const auto& c : {Case{38, {20, 27, 33}}, Case{39, {}}, Case{40, {}}}) {
        auto state = route(40);
        put(state, c.start, cell_kind::slowdown_start, 120);
        EXPECT_EQ(run(state), c.points) << c.start;
    }
    auto state = route(40);
    put(state, 39, cell_kind::slowdown_warning);
    put(state, 30, cell_kind::signal);
    put(state, 0, cell_kind::slowdown_start, 120);
    EXPECT_TRUE(run(state).empty());
}

// --- warning rule ---------------------------------------------------------------------------

TEST(SignallingPass, SignalsUpToTwentyCellsBeforeAWarningGetAPointBeforeThem) {
    struct Case {
        std::size_t warning, signal;
        Cells points;
    };
    const Case cases[] = {
        {40, 20, {19}},  // 20 cells back
        {40, 19, {}},    // 21 cells back
        {40, 39, {38}},  // the cell just before
        {4, 3, {2}},     // the first signal that is treated
        {23, 3, {2}},    // ... 20 cells back
        {24, 3, {}},     // ... 21 cells back
        {3, 2, {}},      // a warning at cell 3 or lower treats nothing
        {2, 1, {}},      // ...
    };
    for (const auto& c : cases) {
        auto state = route(60);
        put(state, c.warning, cell_kind::slowdown_warning, 40);
        put(state, c.signal, cell_kind::signal);
        EXPECT_EQ(run(state), c.points) << c.warning << " " << c.signal;
        expect_no_error(state);
    }
}

TEST(SignallingPass, EverySignalBeforeTheWarningIsTreated) {
    auto state = route(60);
    put(state, 50, cell_kind::slowdown_warning);
    for (const std::size_t s : {49, 45, 40, 30}) {
        put(state, s, cell_kind::signal);
    }
    EXPECT_EQ(run(state), (Cells{29, 39, 44, 48}));
}

TEST(SignallingPass, WarningRulePrefersAFreeCellThenLowersAnExistingPoint) {
    enum Before { free_cell, taken, point200, marker };
    struct Case {
        const char* what;
        Before first, second;  // the cells 1 and 2 before the signal at 30
        Cells points;
        std::int16_t ref29, ref28;
    };
    const Case cases[] = {
        {"first free", free_cell, taken, {29}, 180, 0},
        {"second free", taken, free_cell, {28}, 0, 180},
        {"free second before lowering the first", point200, free_cell, {28}, 200, 180},
        {"first lowered", point200, taken, {}, 180, 0},
        {"second lowered", taken, point200, {}, 0, 180},
        {"only the first of two points lowered", point200, point200, {}, 180, 200},
        {"a mountain marker is free", marker, taken, {29}, 180, 0},
    };
    for (const auto& c : cases) {
        auto state = route(60);
        put(state, 40, cell_kind::slowdown_warning);
        put(state, 30, cell_kind::signal);
        const auto set = [&](std::size_t cell, Before b) {
            if (b == taken) {
                take(state, cell);
            } else if (b == point200) {
                put(state, cell, cell_kind::code_point, 200);
            } else if (b == marker) {
                put(state, cell, cell_kind::mountain_marker);
                state.cells[cell].spanKind = 2;
            }
        };
        set(29, c.first);
        set(28, c.second);
        EXPECT_EQ(run(state), c.points) << c.what;
        EXPECT_EQ(state.cells[29].ref, c.ref29) << c.what;
        EXPECT_EQ(state.cells[28].ref, c.ref28) << c.what;
        expect_no_error(state);
        if (c.first == marker) {
            EXPECT_EQ(state.cells[29].spanKind, 2) << "a point changes only kind and ref";
        }
    }
}

TEST(SignallingPass, LoweringNeverRaisesAPoint) {
    struct Case {
        std::int16_t before, after;
    };
    for (const auto c : {Case{120, 120}, Case{200, 180}, Case{180, 180}, Case{-5, -5}}) {
        auto state = route(60);
        put(state, 40, cell_kind::slowdown_warning);
        put(state, 30, cell_kind::signal);
        put(state, 29, cell_kind::code_point, c.before);
        take(state, 28);
        EXPECT_TRUE(run(state).empty()) << c.before;
        EXPECT_EQ(state.cells[29].ref, c.after) << c.before;
    }
}

TEST(SignallingPass, SignalWithNeitherFreeCellNorPointRecords11AtTheSignal) {
    auto state = route(60);
    put(state, 40, cell_kind::slowdown_warning);
    put(state, 30, cell_kind::signal);
    put(state, 25, cell_kind::signal);
    take(state, 29);
    take(state, 28);
    // The later signal is still treated after the fault.
    EXPECT_EQ(run(state), Cells{24});
    expect_error(state, Fault::no_code_point_cell_before_signal, 30);
}

TEST(SignallingPass, PointOnCellOneStopsTheStampsWith1250) {
    auto state = route(60);
    state.LineTitle = "A - B";
    state.TrainCode = "R00001";
    put(state, 10, cell_kind::slowdown_warning);
    put(state, 3, cell_kind::signal);
    take(state, 2);
    EXPECT_EQ(run(state), Cells{1});
    const auto output = stamp_and_pack(state);
    EXPECT_EQ(output.fatal, FatalOutcome::format_markers_in_use);
    EXPECT_FALSE(output.files.has_value());
}

// --- start rule -----------------------------------------------------------------------------

TEST(SignallingPass, StartRuleWindowsApplyByTheStartCell) {
    struct Case {
        std::size_t start;
        Cells points;
    };
    const Case cases[] = {
        {7, {}}, {8, {3}}, {13, {8}}, {14, {3, 9}}, {20, {9, 15}}, {21, {3, 10, 16}},
    };
    for (const auto& c : cases) {
        auto state = route(60);
        put(state, c.start, cell_kind::slowdown_start, 120);
        EXPECT_EQ(run(state), c.points) << c.start;
        expect_no_error(state);
    }
}

TEST(SignallingPass, EachWindowTakesItsNearestFreeCell) {
    // Windows of the start at 30: 25, 24, 23 / 19, 18, 17 / 12, 11, 10.
    struct Case {
        const char* what;
        Cells taken;
        bool marker_on_nearest;
        Cells points;
    };
    const Case cases[] = {
        {"nearest", {}, false, {12, 19, 25}},
        {"second", {25, 19, 12}, false, {11, 18, 24}},
        {"third", {25, 24, 19, 18, 12, 11}, false, {10, 17, 23}},
        {"a mountain marker is free", {}, true, {12, 19, 25}},
    };
    for (const auto& c : cases) {
        auto state = route(60);
        put(state, 30, cell_kind::slowdown_start, 120);
        for (const auto t : c.taken) {
            take(state, t);
        }
        if (c.marker_on_nearest) {
            put(state, 25, cell_kind::mountain_marker);
        }
        EXPECT_EQ(run(state), c.points) << c.what;
        expect_no_error(state);
    }
}

TEST(SignallingPass, ExistingCodePointCountsTakenInAStartWindow) {
    auto state = route(60);
    put(state, 30, cell_kind::slowdown_start, 120);
    put(state, 25, cell_kind::code_point, 200);
    EXPECT_EQ(run(state), (Cells{12, 19, 24}));
    EXPECT_EQ(state.cells[25].ref, 200);
}

TEST(SignallingPass, PointsPlacedEarlierInThePassCountTaken) {
    // The start at 30 puts a point on 25; the start at 31 then finds 26 taken and 25 a point.
    auto state = route(60);
    put(state, 30, cell_kind::slowdown_start, 120);
    put(state, 31, cell_kind::slowdown_start, 120);
    take(state, 26);
    EXPECT_EQ(run(state), (Cells{12, 13, 19, 20, 24, 25}));
}

TEST(SignallingPass, FullStartWindowRecords12AndTheOtherWindowsStillGetTheirPoints) {
    struct Case {
        Cells taken;
        Cells points;
    };
    const Case cases[] = {
        {{25, 24, 23}, {12, 19}},
        {{19, 18, 17}, {12, 25}},
        {{12, 11, 10}, {19, 25}},
        {{25, 24, 23, 12, 11, 10}, {19}},
    };
    for (const auto& c : cases) {
        auto state = route(60);
        put(state, 30, cell_kind::slowdown_start, 120);
        for (const auto t : c.taken) {
            take(state, t);
        }
        EXPECT_EQ(run(state), c.points) << c.taken.front();
        expect_error(state, Fault::no_code_point_cell_before_slowdown, 30);
    }
}

// --- spacing rule ---------------------------------------------------------------------------

// The points the pass places between a slowdown's start and a few cells past its end, leaving
// out the start windows.
Cells along(const Cells& points, std::size_t start) {
    Cells found;
    for (const auto p : points) {
        if (p > start) {
            found.push_back(p);
        }
    }
    return found;
}

TEST(SignallingPass, SlowSlowdownsGetAPointEveryEightCells) {
    struct Case {
        const char* what;
        std::int16_t speed;
        std::size_t length;  // end cell minus start cell
        Cells taken;
        Cells points;  // as offsets from the start
    };
    const Case cases[] = {
        {"speed 110 gets none", 110, 9, {}, {}},
        {"speed 109", 109, 9, {}, {8}},
        {"7 cells get none", 40, 7, {}, {}},
        {"8 cells: the end is taken, the point moves back", 40, 8, {}, {7}},
        {"16 cells", 40, 16, {}, {8, 15}},
        {"30 cells", 40, 30, {}, {8, 16, 24}},
        {"step cell taken: one back, spacing kept", 40, 30, {8}, {7, 15, 23}},
        {"step cell and the one before taken: one forward", 40, 30, {8, 7}, {9, 17, 25}},
        {"a negative speed is slow", -1, 9, {}, {8}},
    };
    for (const auto& c : cases) {
        constexpr std::size_t start = 30;
        auto state = route(100);
        slowdown(state, start, start + c.length, c.speed);
        for (const auto t : c.taken) {
            take(state, start + t);
        }
        Cells expected;
        for (const auto p : c.points) {
            expected.push_back(start + p);
        }
        EXPECT_EQ(along(run(state), start), expected) << c.what;
        expect_no_error(state);
    }
}

TEST(SignallingPass, MarkerAlongTheSlowdownIsFree) {
    auto state = route(100);
    slowdown(state, 30, 46, 40);
    put(state, 38, cell_kind::mountain_marker);
    EXPECT_EQ(along(run(state), 30), (Cells{38, 45}));
}

TEST(SignallingPass, BlockedStepRecords13AndNoFurtherPointFollows) {
    auto state = route(100);
    slowdown(state, 30, 60, 40);
    take(state, 37);
    take(state, 38);
    take(state, 39);
    put(state, 65, cell_kind::signal);
    // Only the exit point before the signal after the end remains.
    EXPECT_EQ(along(run(state), 30), Cells{64});
    expect_error(state, Fault::no_code_point_cell_along_slowdown, 38);
}

TEST(SignallingPass, LastFaultWins) {
    auto state = route(100);
    put(state, 40, cell_kind::slowdown_warning);
    put(state, 30, cell_kind::signal);
    take(state, 29);
    take(state, 28);  // 11 at 30
    slowdown(state, 64, 80, 40);
    take(state, 59);
    take(state, 58);
    take(state, 57);  // 12 at 64
    take(state, 71);
    take(state, 72);
    take(state, 73);  // 13 at 72
    // An earlier fault of the reader is replaced, not kept.
    state.errorNumber = number_of(Fault::signal_cell_taken);
    run(state);
    expect_error(state, Fault::no_code_point_cell_along_slowdown, 72);
}

TEST(SignallingPass, PassWithoutFaultKeepsTheReadersFault) {
    auto state = route(100);
    state.errorNumber = number_of(Fault::signal_cell_taken);
    state.errorPosition = 1850;
    slowdown(state, 30, 40, 40);
    run(state);
    EXPECT_EQ(state.errorNumber, number_of(Fault::signal_cell_taken));
    EXPECT_EQ(state.errorPosition, 1850);
}

// --- exit rule ------------------------------------------------------------------------------

TEST(SignallingPass, FirstSignalUpToTwelveCellsAfterTheEndGetsAPointBeforeIt) {
    struct Case {
        const char* what;
        std::int16_t speed;
        Cells signals;  // as offsets from the end at 40
        Cells taken;
        Cells points;
    };
    const Case cases[] = {
        {"12 after", 40, {12}, {}, {51}},
        {"13 after is not searched", 40, {13}, {}, {}},
        {"only the first signal", 40, {3, 6}, {}, {42}},
        {"cell before taken: the one before that", 40, {5}, {44}, {43}},
        {"fast slowdown: from its own end", 120, {12}, {}, {51}},
        {"fast slowdown: 13 after", 120, {13}, {}, {}},
    };
    for (const auto& c : cases) {
        auto state = route(100);
        slowdown(state, 36, 40, c.speed);
        for (const auto s : c.signals) {
            put(state, 40 + s, cell_kind::signal);
        }
        for (const auto t : c.taken) {
            take(state, t);
        }
        EXPECT_EQ(along(run(state), 36), c.points) << c.what;
    }
}

TEST(SignallingPass, ExitRuleWithBothCellsTakenRecords13AtTheEnd) {
    struct Case {
        const char* what;
        bool point_before;
    };
    for (const auto c : {Case{"both taken", false}, Case{"a code point counts taken", true}}) {
        auto state = route(100);
        slowdown(state, 36, 40, 40);
        put(state, 46, cell_kind::signal);
        if (c.point_before) {
            put(state, 45, cell_kind::code_point, 200);
        } else {
            take(state, 45);
        }
        take(state, 44);
        EXPECT_TRUE(along(run(state), 36).empty()) << c.what;
        expect_error(state, Fault::no_code_point_cell_along_slowdown, 40);
        EXPECT_EQ(state.cells[45].ref, c.point_before ? 200 : 0) << c.what;
    }
}

TEST(SignallingPass, SignalRightAfterTheEndGetsItsPointOnTheSlowdown) {
    auto state = route(100);
    slowdown(state, 36, 40, 40);
    put(state, 41, cell_kind::signal);
    EXPECT_EQ(along(run(state), 36), Cells{39});
}

// --- the end of the cells --------------------------------------------------------------------

TEST(SignallingPass, WalksStopAtTheLastCell) {
    struct Case {
        const char* what;
        std::size_t start;
        std::int16_t speed;
        Cells taken;
        Cells points;
        std::int32_t error;  // 0: none
    };
    // Cells 0..40; no end cell after the start.
    const Case cases[] = {
        {"slow start near N", 37, 40, {}, {}, 0},
        {"slow: the eighth step is N and free", 32, 40, {}, {40}, 0},
        {"slow: N taken, the one before free", 32, 40, {40}, {39}, 0},
        {"slow: N and the one before taken, nothing past N",
         32,
         40,
         {40, 39},
         {},
         number_of(Fault::no_code_point_cell_along_slowdown)},
        {"fast start near N", 38, 120, {}, {}, 0},
    };
    for (const auto& c : cases) {
        auto state = route(40);
        put(state, c.start, cell_kind::slowdown_start, c.speed);
        for (const auto t : c.taken) {
            take(state, t);
        }
        EXPECT_EQ(along(run(state), c.start), c.points) << c.what;
        EXPECT_EQ(state.errorNumber, c.error) << c.what;
        if (c.error != 0) {
            EXPECT_EQ(state.errorPosition, 40 * 50) << c.what;
        }
    }
}

TEST(SignallingPass, WithoutAnEndTheExitRuleDoesNothing) {
    for (const std::int16_t speed : {40, 120}) {
        auto state = route(40);
        put(state, 35, cell_kind::slowdown_start, speed);
        put(state, 40, cell_kind::signal);
        EXPECT_TRUE(along(run(state), 35).empty()) << speed;
        expect_no_error(state);
    }
}

TEST(SignallingPass, ExitSearchStopsAtTheLastCell) {
    auto state = route(45);
    slowdown(state, 36, 40, 40);
    put(state, 45, cell_kind::signal);
    EXPECT_EQ(along(run(state), 36), Cells{44});

    auto fast = route(42);
    slowdown(fast, 30, 40, 120);
    EXPECT_TRUE(along(run(fast), 30).empty());
}

TEST(SignallingPass, ScenarioSlowdownGetsItsStartWindowsAndNothingElse) {
    // The built-in slowdown: warning 1401, start 1425, end 1431, approach 1397..1400, 40 km/h.
    auto state = route(2100);
    put(state, 1401, cell_kind::slowdown_warning, 40);
    slowdown(state, 1425, 1431, 40);
    for (std::size_t c = 1397; c <= 1400; ++c) {
        put(state, c, cell_kind::warning_approach);
    }
    EXPECT_EQ(run(state), (Cells{1407, 1414, 1420}));
    expect_no_error(state);
}

}  // namespace
}  // namespace scenario::compiler
