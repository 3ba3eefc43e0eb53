#include "running_time/curve_points.h"

#include <algorithm>
#include <limits>

namespace scenario::running_time {

namespace {

// One stretch between kept metres, thinned by the corridor of the slopes that still pass
// within the tolerance of every metre since the last kept point. When a metre falls out of
// it, the point before it is kept on the corridor's line nearest to the curve (within the
// tolerance of its own speed), and a new corridor starts there.
void thin_stretch(std::span<const float> kmh, std::int32_t first_metre, std::size_t from,
                  std::size_t to, double tolerance, std::vector<SpeedPoint>& out) {
    constexpr double kOpen = std::numeric_limits<double>::infinity();
    double anchor_x = static_cast<double>(from);
    double anchor_y = kmh[from];
    double upper = kOpen;
    double lower = -kOpen;
    const auto keep = [&](double x, double y) {
        out.push_back({first_metre + x, y});
        anchor_x = x;
        anchor_y = y;
    };
    const auto on_corridor = [&](std::size_t i) {
        const double dx = static_cast<double>(i) - anchor_x;
        const double slope = (kmh[i] - anchor_y) / dx;
        return std::clamp(slope, lower, upper) * dx + anchor_y;
    };
    for (std::size_t i = from + 1; i <= to; ++i) {
        const double dx = static_cast<double>(i) - anchor_x;
        const double up = std::min(upper, (kmh[i] + tolerance - anchor_y) / dx);
        const double down = std::max(lower, (kmh[i] - tolerance - anchor_y) / dx);
        if (up < down) {
            keep(static_cast<double>(i - 1), on_corridor(i - 1));
            const double step = static_cast<double>(i) - anchor_x;
            upper = (kmh[i] + tolerance - anchor_y) / step;
            lower = (kmh[i] - tolerance - anchor_y) / step;
        } else {
            upper = up;
            lower = down;
        }
    }
    // The stretch's end is kept as it is: through the corridor when it lies on it, else after
    // the point before it.
    const double dx = static_cast<double>(to) - anchor_x;
    const double slope = (kmh[to] - anchor_y) / dx;
    if ((slope < lower || slope > upper) && static_cast<double>(to - 1) > anchor_x) {
        keep(static_cast<double>(to - 1), on_corridor(to - 1));
    }
    keep(static_cast<double>(to), kmh[to]);
}

}  // namespace

std::vector<SpeedPoint> thin_curve(std::span<const float> kmh, std::int32_t first_metre,
                                   std::span<const std::int32_t> fixed, double tolerance) {
    std::vector<SpeedPoint> out;
    if (kmh.empty()) {
        return out;
    }
    out.push_back({static_cast<double>(first_metre), kmh[0]});
    std::size_t from = 0;
    const std::size_t last = kmh.size() - 1;
    for (const std::int32_t metre : fixed) {
        const auto at = static_cast<std::size_t>(metre - first_metre);
        if (metre <= first_metre || at >= last || at <= from) {
            continue;
        }
        thin_stretch(kmh, first_metre, from, at, tolerance, out);
        from = at;
    }
    if (last > from) {
        thin_stretch(kmh, first_metre, from, last, tolerance, out);
    }
    return out;
}

std::vector<SpeedPoint> thin_curve_to(std::span<const float> kmh, std::int32_t first_metre,
                                      std::span<const std::int32_t> fixed, double tolerance,
                                      std::size_t most) {
    auto points = thin_curve(kmh, first_metre, fixed, tolerance);
    // The stops stay whatever the tolerance; 24 doublings are past any speed a train runs.
    for (int round = 0; round < 24 && points.size() > most; ++round) {
        tolerance *= 2;
        points = thin_curve(kmh, first_metre, fixed, tolerance);
    }
    return points;
}

}  // namespace scenario::running_time
