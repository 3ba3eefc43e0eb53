#include "view/plan_detail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "compiler/compile.h"
#include "tool/documents/document_texts.h"

namespace scenario::tool {
namespace {

// The distance from a point to the polyline of the kept points around its metre.
double distance_to_polyline(const PlanPoint& p, const std::vector<PlanPoint>& kept) {
    std::size_t i = 0;
    while (i + 1 < kept.size() && kept[i + 1].metre < p.metre) {
        ++i;
    }
    const auto& a = kept[i];
    const auto& b = kept[std::min(i + 1, kept.size() - 1)];
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t =
        length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

std::vector<PlanPoint> straight(int metres) {
    std::vector<PlanPoint> points;
    for (int m = 0; m <= metres; ++m) {
        points.push_back({m, 0.5 * m, 0.75 * m});
    }
    return points;
}

// A route that runs straight, turns through a quarter circle of radius `radius` and runs on.
std::vector<PlanPoint> with_curve(double radius) {
    std::vector<PlanPoint> points;
    int m = 0;
    for (; m <= 500; ++m) {
        points.push_back({m, 0, static_cast<double>(m)});
    }
    const double arc = radius * std::numbers::pi / 2;
    for (int s = 1; s <= static_cast<int>(arc); ++s, ++m) {
        const double a = s / radius;
        points.push_back({m, radius - radius * std::cos(a), 500 + radius * std::sin(a)});
    }
    const auto last = points.back();
    for (int s = 1; s <= 500; ++s, ++m) {
        points.push_back({m, last.x + s, last.y});
    }
    return points;
}

TEST(PlanDetail, AStraightRouteCollapsesToItsEnds) {
    const auto points = straight(100000);
    for (const double tolerance : kPlanTolerances) {
        const auto kept = simplify(points, tolerance);
        ASSERT_EQ(kept.size(), 2u) << tolerance;
        EXPECT_EQ(kept.front(), points.front());
        EXPECT_EQ(kept.back(), points.back());
    }
}

TEST(PlanDetail, ACurveKeepsEveryPointWithinTheTolerance) {
    for (const double radius : {333.0, 1000.0, 10000.0}) {
        const auto points = with_curve(radius);
        std::size_t previous = points.size() + 1;
        for (const double tolerance : kPlanTolerances) {
            const auto kept = simplify(points, tolerance);
            EXPECT_GT(kept.size(), 2u) << radius << " " << tolerance;
            EXPECT_LT(kept.size(), previous) << radius << " " << tolerance;
            previous = kept.size();
            double worst = 0;
            for (const auto& p : points) {
                worst = std::max(worst, distance_to_polyline(p, kept));
            }
            EXPECT_LE(worst, tolerance) << radius << " " << tolerance;
            // Every kept point is one of the plan's, in order.
            EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
                return a.metre < b.metre;
            }));
        }
    }
}

TEST(PlanDetail, TinyPlansAreKeptWhole) {
    for (const std::size_t n : {0u, 1u, 2u}) {
        const auto points = straight(static_cast<int>(n) - 1);
        EXPECT_EQ(simplify(points, 16).size(), points.size());
    }
}

// The levels of the built-in line: each within its tolerance of every metre of the plan, the
// last metre of the plan in each, fewer points the coarser the level.
TEST(PlanDetail, TheBuiltInLinesLevelsHoldTheWholePlanWithinTheirTolerances) {
    compiler::BuildState state;
    compiler::CompileInput input;
    const auto line = testing::joined(testing::builtin_line_text());
    const auto train = testing::joined(testing::builtin_train_text());
    input.line_text = compiler::SourceText::of(line);
    input.train_text = compiler::SourceText::of(train);
    input.LineTitle = "T";
    input.TrainCode = "C";
    compiler::compile_scenario(state, input);
    const auto points = plan_points(state.plan);
    ASSERT_EQ(points.size(), static_cast<std::size_t>(state.plan.last_metre() - 1));
    EXPECT_EQ(points.back().metre, state.plan.last_metre() - 2);

    const auto levels = plan_levels(state.plan);
    ASSERT_EQ(levels.size(), kPlanTolerances.size());
    std::size_t previous = points.size() + 1;
    for (const auto& level : levels) {
        EXPECT_EQ(level.points.front(), points.front());
        EXPECT_EQ(level.points.back(), points.back()) << level.tolerance;
        EXPECT_LT(level.points.size(), previous) << level.tolerance;
        previous = level.points.size();
        double worst = 0;
        for (const auto& p : points) {
            worst = std::max(worst, distance_to_polyline(p, level.points));
        }
        EXPECT_LE(worst, level.tolerance);
    }
}

}  // namespace
}  // namespace scenario::tool
