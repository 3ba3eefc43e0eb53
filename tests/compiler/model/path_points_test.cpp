#include "compiler/model/path_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace scenario::compiler {
namespace {

// A plan of the length with a distinct value at every metre of both axes.
PathPoints marked_plan(std::int32_t last_metre) {
    PathPoints plan;
    plan.allocate(last_metre);
    for (std::size_t m = 0; m < plan.axis[0].values.size(); ++m) {
        for (std::size_t a = 0; a < 2; ++a) {
            plan.axis[a].tags[m] = PlanTag::real;
            plan.axis[a].values[m] = static_cast<double>(m) + 0.5 * static_cast<double>(a);
        }
    }
    return plan;
}

bool all_empty_and_zero(const PathPoints& plan) {
    return std::ranges::all_of(plan.axis, [](const PlanAxis& axis) {
        return std::ranges::all_of(axis.tags, [](PlanTag t) { return t == PlanTag::empty; }) &&
               std::ranges::all_of(axis.values, [](double v) { return v == 0.0; });
    });
}

// Small plans come from the heap, plans of a route and more from a mapping of their own: both
// kinds must behave alike, so each case runs at both sizes.
class PathPointsStorage : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(PathPointsStorage, AllocatedMetresAreEmptyAndZero) {
    PathPoints plan;
    EXPECT_FALSE(plan.allocated());
    EXPECT_EQ(plan.last_metre(), -1);
    plan.allocate(GetParam());
    EXPECT_TRUE(plan.allocated());
    EXPECT_EQ(plan.last_metre(), GetParam());
    EXPECT_EQ(plan.axis[1].values.size(), static_cast<std::size_t>(GetParam()) + 1);
    EXPECT_TRUE(all_empty_and_zero(plan));
}

TEST_P(PathPointsStorage, AllocatingAgainDiscardsTheEarlierPlan) {
    PathPoints plan = marked_plan(GetParam());
    plan.allocate(GetParam());
    EXPECT_TRUE(all_empty_and_zero(plan));
}

TEST_P(PathPointsStorage, TheAxesDoNotOverlap) {
    const PathPoints plan = marked_plan(GetParam());
    const auto last = static_cast<std::size_t>(GetParam());
    EXPECT_EQ(plan.axis[0].values[last], static_cast<double>(last));
    EXPECT_EQ(plan.axis[1].values[0], 0.5);
    EXPECT_EQ(plan.axis[1].tags[last], PlanTag::real);
}

TEST_P(PathPointsStorage, ACopyIsEqualAndIndependent) {
    const PathPoints original = marked_plan(GetParam());
    PathPoints copy = original;
    EXPECT_EQ(copy, original);
    copy.axis[1].values[1] = -1.0;
    EXPECT_NE(copy, original);
    EXPECT_EQ(original.axis[1].values[1], 1.5);

    PathPoints assigned;
    assigned.allocate(3);
    assigned = original;
    EXPECT_EQ(assigned, original);
}

TEST_P(PathPointsStorage, AMoveTakesTheBlockAndLeavesNoPlan) {
    PathPoints original = marked_plan(GetParam());
    const double* values = original.axis[0].values.data();
    PathPoints moved = std::move(original);
    EXPECT_EQ(moved.axis[0].values.data(), values);
    EXPECT_FALSE(original.allocated());  // NOLINT(bugprone-use-after-move): the moved-from state
    EXPECT_EQ(moved, marked_plan(GetParam()));

    PathPoints other = marked_plan(5);
    other = std::move(moved);
    EXPECT_EQ(other.axis[0].values.data(), values);
}

INSTANTIATE_TEST_SUITE_P(SmallAndRouteSized, PathPointsStorage,
                         ::testing::Values(std::int32_t{40}, std::int32_t{105000}));

TEST(PathPoints, PlansOfDifferentLengthsDiffer) {
    EXPECT_NE(marked_plan(10), marked_plan(11));
    EXPECT_EQ(PathPoints{}, PathPoints{});
    PathPoints cleared = marked_plan(10);
    cleared.clear();
    EXPECT_EQ(cleared, PathPoints{});
}

}  // namespace
}  // namespace scenario::compiler
