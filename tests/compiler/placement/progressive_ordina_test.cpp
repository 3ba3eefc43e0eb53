#include <gtest/gtest.h>

#include <array>

#include "compiler/placement/placement.h"

namespace scenario::compiler {
namespace {

// start, kilometric value, sense
using Range = std::array<std::int32_t, 3>;

struct Ranges {
    Range tre, due, uno;
};

void set_ranges(BuildState& state, const Ranges& r) {
    const auto put = [&](std::size_t at, const Range& range) {
        state.locations[at].zoneStart = range[0];
        state.locations[at].zoneEnd = range[1];
        state.locations[at].position = range[2];
    };
    put(entry::range_tre, r.tre);
    put(entry::range_due, r.due);
    put(entry::range_uno, r.uno);
}

Range range_at(const BuildState& state, std::size_t at) {
    const auto& e = state.locations[at];
    return {e.zoneStart, e.zoneEnd, e.position};
}

struct Case {
    const char* what;
    Ranges before;
    Ranges after;
};

void expect_ordered(const Case& c) {
    BuildState state;
    set_ranges(state, c.before);
    progressive_ordina(state);
    EXPECT_EQ(range_at(state, entry::range_tre), c.after.tre) << c.what;
    EXPECT_EQ(range_at(state, entry::range_due), c.after.due) << c.what;
    EXPECT_EQ(range_at(state, entry::range_uno), c.after.uno) << c.what;
}

constexpr Range zero{0, 0, 0};

TEST(ProgressiveOrdina, AllStartsZeroAreToldApartByTheirKilometricValues) {
    const Case cases[] = {
        {"this scenario: uno alone, sense 1 adds 100",
         {zero, zero, {0, 98000, 1}},
         {{0, 98100, 1}, zero, zero}},
        {"uno positive wins over due and tre",
         {{0, 1000, 0}, {0, 2000, 0}, {0, 3000, 0}},
         {{0, 3000, 0}, {0, 2000, 0}, {0, 1000, 0}}},
        {"only due positive: due and tre change places",
         {{0, 7000, 0}, {0, 5000, 1}, zero},
         {{0, 5100, 1}, {0, 7000, 0}, zero}},
        {"due positive, uno not: due and tre change places",
         {{0, 7000, 0}, {0, 5000, 0}, {0, -4, 1}},
         {{0, 5000, 0}, {0, 7000, 0}, {0, 96, 1}}},
        {"only tre positive: nothing moves",
         {{0, 3000, 1}, {0, -1, 0}, zero},
         {{0, 3100, 1}, {0, -1, 0}, zero}},
        {"none positive: all nine cleared, no 100 added",
         {{0, -5, 1}, {0, 0, 1}, {0, -7, 2}},
         {zero, zero, zero}},
        // The test is on the sum of the starts, not on each start being 0.
        {"starts adding up to 0",
         {{-10, 0, 0}, {10, 0, 0}, {0, 500, 0}},
         {{0, 500, 0}, {10, 0, 0}, {-10, 0, 0}}},
    };
    for (const auto& c : cases) {
        expect_ordered(c);
    }
}

TEST(ProgressiveOrdina, TheGreatestStartGoesFirstAndTheOthersFollowDescending) {
    const Range a{50000, 1, 0}, b{20000, 2, 0}, c{10000, 3, 0}, b2{20000, 4, 0};
    const Case cases[] = {
        {"0, 20000, 50000 in uno, due, tre stay", {a, b, {0, 9, 0}}, {a, b, {0, 9, 0}}},
        {"tre greatest, due above uno", {a, b, c}, {a, b, c}},
        {"tre greatest, due equal to uno: uno first", {a, b, b2}, {a, b2, b}},
        {"due greatest, tre above uno", {b, a, c}, {a, b, c}},
        {"due greatest, tre equal to uno: uno first", {b, a, b2}, {a, b2, b}},
        {"uno greatest, tre above due", {b, c, a}, {a, b, c}},
        {"uno greatest, tre equal to due: due first", {b, b2, a}, {a, b2, b}},
        {"uno greatest, tre below due", {c, b, a}, {a, b, c}},
    };
    for (const auto& x : cases) {
        expect_ordered(x);
    }
}

TEST(ProgressiveOrdina, NoSingleGreatestStartClearsAllThree) {
    const Case cases[] = {
        {"two at 30000 above 10000",
         {{30000, 1, 1}, {10000, 2, 1}, {30000, 3, 1}},
         {zero, zero, zero}},
        {"three equal", {{500, 1, 1}, {500, 2, 0}, {500, 3, 0}}, {zero, zero, zero}},
    };
    for (const auto& c : cases) {
        expect_ordered(c);
    }
}

TEST(ProgressiveOrdina, RangesMoveWholeAndSenseOneAddsHundredWhereTheyLand) {
    expect_ordered({"sense travels with its range",
                    {{1000, 50, 1}, {3000, 200, 0}, {2000, 400, 1}},
                    {{3000, 200, 0}, {2000, 500, 1}, {1000, 150, 1}}});
}

TEST(ProgressiveOrdina, LeavesTheOtherEntriesAlone) {
    BuildState state;
    set_ranges(state, {{0, 0, 0}, {0, 0, 0}, {0, 98000, 1}});
    state.locations[entry::train].zoneStart = 77;
    state.locations[80].zoneEnd = 5;
    progressive_ordina(state);
    EXPECT_EQ(state.locations[entry::train].zoneStart, 77);
    EXPECT_EQ(state.locations[80].zoneEnd, 5);
    EXPECT_EQ(state.errorNumber, 0);
}

}  // namespace
}  // namespace scenario::compiler
