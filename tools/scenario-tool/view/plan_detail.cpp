#include "view/plan_detail.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace scenario::tool {

namespace {

// Squared distance from p to the segment a..b (to a when the segment has no length).
double squared_distance_to_segment(const PlanPoint& p, const PlanPoint& a, const PlanPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = 0;
    if (length2 > 0) {
        t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2;
        t = t < 0 ? 0 : t > 1 ? 1 : t;
    }
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

}  // namespace

std::vector<PlanPoint> plan_points(const compiler::PathPoints& plan) {
    std::vector<PlanPoint> points;
    if (!plan.allocated()) {
        return points;
    }
    const auto& xs = plan.axis[0];
    const auto& ys = plan.axis[1];
    points.reserve(xs.tags.size());
    for (std::size_t m = 0; m < xs.tags.size(); ++m) {
        if (xs.tags[m] == compiler::PlanTag::empty || ys.tags[m] == compiler::PlanTag::empty) {
            continue;
        }
        points.push_back({static_cast<std::int32_t>(m), xs.values[m], ys.values[m]});
    }
    return points;
}

std::vector<PlanPoint> simplify(std::span<const PlanPoint> points, double tolerance) {
    const std::size_t n = points.size();
    if (n <= 2) {
        return {points.begin(), points.end()};
    }
    const double limit = tolerance * tolerance;
    std::vector<bool> keep(n, false);
    keep.front() = keep.back() = true;
    std::vector<std::pair<std::size_t, std::size_t>> pending{{0, n - 1}};
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        double worst = -1;
        std::size_t at = a;
        for (std::size_t i = a + 1; i < b; ++i) {
            const double d = squared_distance_to_segment(points[i], points[a], points[b]);
            if (d > worst) {
                worst = d;
                at = i;
            }
        }
        if (worst > limit) {
            keep[at] = true;
            if (at - a > 1) {
                pending.emplace_back(a, at);
            }
            if (b - at > 1) {
                pending.emplace_back(at, b);
            }
        }
    }
    std::vector<PlanPoint> kept;
    for (std::size_t i = 0; i < n; ++i) {
        if (keep[i]) {
            kept.push_back(points[i]);
        }
    }
    return kept;
}

std::vector<PlanLevel> plan_levels(const compiler::PathPoints& plan,
                                   std::span<const double> tolerances) {
    const auto points = plan_points(plan);
    std::vector<PlanLevel> levels;
    for (const double tolerance : tolerances) {
        // Each level from the one before, with what is left of the tolerance: a point of the
        // finer level lies within the rest of the coarser segment around it, and so does the
        // finer polyline between two such points (the distance to a segment is convex), with
        // every point of the plan within the finer tolerance of it. Far less work than
        // simplifying the million metres of the longest line four times.
        if (!levels.empty() && levels.back().tolerance < tolerance) {
            const auto& finer = levels.back();
            levels.push_back({tolerance, simplify(finer.points, tolerance - finer.tolerance)});
        } else {
            levels.push_back({tolerance, simplify(points, tolerance)});
        }
    }
    return levels;
}

}  // namespace scenario::tool
