#include "running_time/curve_points.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace scenario::running_time {
namespace {

// The speed of the thinned curve at a metre, between the kept points around it.
double on_curve(const std::vector<SpeedPoint>& points, double metre) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (metre <= points[i].metre) {
            const auto& p = points[i - 1];
            const auto& q = points[i];
            return p.kmh + (q.kmh - p.kmh) * (metre - p.metre) / (q.metre - p.metre);
        }
    }
    return points.back().kmh;
}

// Accelerate from a stop, cruise, brake to a stop, twice over.
std::vector<float> two_legs() {
    std::vector<float> kmh;
    for (int leg = 0; leg < 2; ++leg) {
        for (int s = 0; s <= 3000; ++s) {
            const double up = std::sqrt(2 * 0.5 * s) * 3.6;
            const double down = std::sqrt(2 * 0.6 * (3000 - s)) * 3.6;
            if (leg == 0 || s > 0) {
                kmh.push_back(static_cast<float>(std::min({up, down, 90.0})));
            }
        }
    }
    return kmh;
}

TEST(CurvePoints, EveryMetreLiesWithinTheToleranceAndTheStopsStay) {
    const auto kmh = two_legs();
    const std::vector<std::int32_t> stops{500, 3500, 6500};
    for (const double tolerance : {0.1, 0.5, 2.0}) {
        const auto points = thin_curve(kmh, 500, stops, tolerance);
        ASSERT_GE(points.size(), 4u);
        EXPECT_LT(points.size(), kmh.size() / 20) << tolerance;
        for (std::size_t j = 0; j < kmh.size(); ++j) {
            EXPECT_NEAR(on_curve(points, 500.0 + j), kmh[j], tolerance + 1e-4) << j;
        }
        for (const auto stop : stops) {
            const auto kept = std::find_if(points.begin(), points.end(),
                                           [&](const SpeedPoint& p) { return p.metre == stop; });
            ASSERT_NE(kept, points.end()) << stop;
            EXPECT_EQ(kept->kmh, 0);
        }
    }
    // Past a budget the tolerance doubles until the points fit.
    EXPECT_LE(thin_curve_to(kmh, 500, stops, 0.01, 40).size(), 40u);
}

}  // namespace
}  // namespace scenario::running_time
