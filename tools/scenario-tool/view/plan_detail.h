#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "compiler/model/path_points.h"

namespace scenario::tool {

// One point of the track plan: the metre along the route and its place, x east and y north.
struct PlanPoint {
    std::int32_t metre = 0;
    double x = 0;
    double y = 0;

    friend bool operator==(const PlanPoint&, const PlanPoint&) = default;
};

// The plan simplified so that no point left out lies further than `tolerance` metres from the
// polyline of the points kept. The first and the last point are always kept.
struct PlanLevel {
    double tolerance = 0;
    std::vector<PlanPoint> points;
};

// The tolerances of the route page's levels, finest first: a quarter of a metre for close
// views, up to 128 m for the whole of the longest line on one screen.
inline constexpr std::array<double, 4> kPlanTolerances{0.25, 2, 16, 128};

// Every metre of the plan that holds a point (both coordinates set), in order.
std::vector<PlanPoint> plan_points(const compiler::PathPoints& plan);

// Douglas-Peucker: the fewest points it keeps such that each point left out lies within
// `tolerance` of the segment between the kept points around it. Iterative, so that no plan is
// too long for the stack.
std::vector<PlanPoint> simplify(std::span<const PlanPoint> points, double tolerance);

// The levels of the plan, one for each tolerance: no point of the plan lies further than a
// level's tolerance from that level's polyline.
std::vector<PlanLevel> plan_levels(const compiler::PathPoints& plan,
                                   std::span<const double> tolerances = kPlanTolerances);

}  // namespace scenario::tool
