#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "running_time/line_profile.h"
#include "running_time/run_result.h"
#include "running_time/train_parameters.h"

namespace scenario::running_time {

// The line as the speed passes read it, per cell.
struct TrackTerms {
    std::vector<double> limit;           // m/s: the least of the line's limit, the slowdowns and
                                         // the train's top speed
    std::vector<std::int32_t> gradient;  // per mille, + climbing
    std::vector<CurveStretch> curves;    // in travel order; none when they are not counted
};

// The climb, in per mille, that a curve of this radius resists like (Röckl's rule).
double curve_resistance_permille(double radius);

// The fastest speeds between two stops, on a 1 m grid. Keeps its scratch between legs.
class SpeedProfiler {
  public:
    SpeedProfiler(const TrackTerms& track, const ResolvedTrain& train);

    // The speeds (m/s) of the head at metres a..b (speeds.size() == b - a + 1), from rest at a
    // to rest at b; or what blocks the leg.
    std::optional<RunIssue> leg(std::int32_t a, std::int32_t b, std::span<double> speeds);

  private:
    void limits(std::int32_t a, std::int32_t b);
    void grades(std::int32_t a, std::int32_t b);
    std::optional<RunIssue> accelerate(std::int32_t a);
    std::optional<RunIssue> brake(std::int32_t a);
    void react(std::span<double> speeds) const;
    // The acceleration on the level at v, from v²: min(a_max, P / (k M v)) less the
    // resistance, over k M. The root and the division are independent of each other, so the
    // forward pass, which waits on this from metre to metre, waits on one of them only.
    struct Traction {
        double most, power, a, b, c;
        double at(double v2) const {
            if (!(v2 > 0)) {
                return most - a;
            }
            const double v = std::sqrt(v2);
            const double per_v2 = power / v2;
            const double pulled = std::min(most, per_v2 * v);
            return pulled - ((a + c * v2) + b * v);
        }
    };
    Traction traction() const;

    const TrackTerms& track_;
    const ResolvedTrain& train_;
    std::size_t points_ = 0;
    std::vector<double> limit2_;    // per point: the square of the speed allowed
    std::vector<double> forward_;   // per point: speed squared accelerating
    std::vector<double> backward_;  // per point: speed squared braking
    std::vector<double> climb_;     // per metre step: deceleration by gradient and curves
    std::vector<double> descent_;   // per metre step: deceleration by gradient alone
    std::vector<double> sum_;       // prefix sums per metre, scratch of grades()
    std::vector<double> curve_sum_;
};

}  // namespace scenario::running_time
