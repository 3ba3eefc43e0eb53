#include "running_time/speed_profile.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "running_time/number_text.h"

namespace scenario::running_time {

namespace {

constexpr double kGravity = 9.81;

std::int32_t floor_to_int(double x) {
    return static_cast<std::int32_t>(std::floor(x));
}

std::int32_t floor_div(std::int32_t a, std::int32_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

double curve_resistance_permille(double radius) {
    if (!(radius > 0)) {
        return 0;
    }
    if (radius >= 300) {
        return 650 / (radius - 55);
    }
    // Röckl's rule for the tight curves, kept finite for radii no line has.
    return 500 / (std::max(radius, 50.0) - 30);
}

SpeedProfiler::SpeedProfiler(const TrackTerms& track, const ResolvedTrain& train)
    : track_(track), train_(train) {}

std::optional<RunIssue> SpeedProfiler::leg(std::int32_t a, std::int32_t b,
                                           std::span<double> speeds) {
    points_ = static_cast<std::size_t>(b - a) + 1;
    limits(a, b);
    grades(a, b);
    if (auto blocked = accelerate(a)) {
        return blocked;
    }
    if (auto blocked = brake(a)) {
        return blocked;
    }
    for (std::size_t k = 0; k < points_; ++k) {
        speeds[k] = std::sqrt(std::min(forward_[k], backward_[k]));
    }
    if (train_.reaction > 0) {
        react(speeds);
    }
    return std::nullopt;
}

// The speed allowed at point s is the least limit over the metres the train covers, [s - L, s]:
// a metre [m, m + 1) binds every point from m (the head reaches it) to m + 1 + L (the tail
// leaves it). Equal cells are taken as one run, so each run marks its points once.
void SpeedProfiler::limits(std::int32_t a, std::int32_t b) {
    const double top = train_.top_speed * train_.top_speed;
    limit2_.assign(points_, top);
    const double length = train_.length;
    const std::int32_t first_metre = std::max(0, floor_to_int(a - length) - 1);
    const auto cells = static_cast<std::int32_t>(track_.limit.size());
    const std::int32_t last_cell = std::min(b / kCellMetres, cells - 1);
    std::int32_t c = first_metre / kCellMetres;
    while (c <= last_cell) {
        const double v = track_.limit[static_cast<std::size_t>(c)];
        std::int32_t end = c;
        while (end + 1 <= last_cell && track_.limit[static_cast<std::size_t>(end + 1)] == v) {
            ++end;
        }
        const double v2 = v * v;
        if (v2 < top) {
            const std::int32_t from = std::max(c * kCellMetres, a);
            const std::int32_t to = std::min(floor_to_int((end + 1) * kCellMetres + length), b);
            for (std::int32_t s = from; s <= to; ++s) {
                auto& allowed = limit2_[static_cast<std::size_t>(s - a)];
                allowed = std::min(allowed, v2);
            }
        }
        c = end + 1;
    }
}

// Per metre step k (from a + k to a + k + 1) the deceleration that the gradients, and for
// traction the curves too, give the train whose head is at the step's middle: the mean over
// [a + k + 0.5 - L, a + k + 0.5], from running sums per metre.
void SpeedProfiler::grades(std::int32_t a, std::int32_t b) {
    const double length = train_.length;
    const std::int32_t first = floor_to_int(a + 0.5 - length) - 1;
    const auto metres = static_cast<std::size_t>(b - first) + 1;
    const auto cells = static_cast<std::int32_t>(track_.gradient.size());
    // sum_[j + 1] holds the value of metre first + j until the sums are run.
    sum_.assign(metres + 1, 0);
    curve_sum_.assign(metres + 1, 0);
    const auto fill = [&](std::vector<double>& values, std::int32_t from, std::int32_t to,
                          double value) {
        from = std::max(from, first);
        to = std::min(to, b + 1);
        if (from < to) {
            std::fill(values.begin() + (from - first + 1), values.begin() + (to - first + 1),
                      value);
        }
    };
    for (std::int32_t c = std::max(0, floor_div(first, kCellMetres));
         c <= b / kCellMetres && c < cells; ++c) {
        fill(sum_, c * kCellMetres, (c + 1) * kCellMetres,
             track_.gradient[static_cast<std::size_t>(c)]);
    }
    auto curve = std::lower_bound(
        track_.curves.begin(), track_.curves.end(), first,
        [](const CurveStretch& stretch, std::int32_t metre) { return stretch.to <= metre; });
    for (; curve != track_.curves.end() && curve->from <= b; ++curve) {
        fill(curve_sum_, curve->from, curve->to, curve_resistance_permille(curve->radius));
    }
    for (std::size_t j = 0; j < metres; ++j) {
        sum_[j + 1] += sum_[j];
        curve_sum_[j + 1] += curve_sum_[j];
    }

    const double scale = kGravity / 1000.0 / (train_.inertia / train_.mass);
    climb_.resize(points_ - 1);
    descent_.resize(points_ - 1);
    const auto head = static_cast<std::size_t>(a - first);  // sum_[head] runs up to metre a
    if (!(length > 0)) {
        for (std::size_t k = 0; k + 1 < points_; ++k) {
            const std::size_t j = head + k;
            const double gradient = sum_[j + 1] - sum_[j];
            climb_[k] = scale * (gradient + curve_sum_[j + 1] - curve_sum_[j]);
            descent_[k] = scale * gradient;
        }
        return;
    }
    // The tail lies a whole number of metres behind the head's metre, and the same fraction
    // into its own metre, at every step.
    const double behind = 0.5 - length;
    const std::int32_t whole = floor_to_int(behind);
    const double part = behind - whole;
    const auto tail = head - static_cast<std::size_t>(-whole);
    const double per_metre = scale / length;
    for (std::size_t k = 0; k + 1 < points_; ++k) {
        const std::size_t j = head + k;
        const std::size_t t = tail + k;
        const double gradient =
            0.5 * (sum_[j] + sum_[j + 1]) - (sum_[t] + part * (sum_[t + 1] - sum_[t]));
        const double curves = 0.5 * (curve_sum_[j] + curve_sum_[j + 1]) -
                              (curve_sum_[t] + part * (curve_sum_[t + 1] - curve_sum_[t]));
        climb_[k] = per_metre * (gradient + curves);
        descent_[k] = per_metre * gradient;
    }
}

SpeedProfiler::Traction SpeedProfiler::traction() const {
    const double m = train_.inertia;
    return {train_.max_acceleration, train_.power / m, train_.resistance_a / m,
            train_.resistance_b / m, train_.resistance_c / m};
}

std::optional<RunIssue> SpeedProfiler::accelerate(std::int32_t a) {
    const double per_mille = 1000.0 / kGravity * (train_.inertia / train_.mass);
    forward_.resize(points_);
    forward_[0] = 0;
    // Cruising at a limit the speed stays the same from metre to metre: its traction and
    // resistance are taken once.
    // The train's terms are held apart from the arrays the loop writes.
    const Traction t = traction();
    double known_v2 = -1;
    double known = 0;
    for (std::size_t k = 0; k + 1 < points_; ++k) {
        const double v2 = forward_[k];
        if (v2 != known_v2) {
            known_v2 = v2;
            known = t.at(v2);
        }
        // Where the limit goes on and the traction at it beats the climb, the train holds the
        // limit: those metres wait on no sum of the metre before, as the one below would.
        while (k + 1 < points_ - 1 && limit2_[k + 1] == v2 && climb_[k] <= known) {
            forward_[++k] = v2;
        }
        const double next = v2 + 2 * (known - climb_[k]);
        if (!(next > 0)) {
            const auto at = a + static_cast<std::int32_t>(k);
            const std::string climb = fixed(climb_[k] * per_mille, 1);
            if (k == 0) {
                return RunIssue{true,
                                "the train cannot start from its stop at " + std::to_string(at) +
                                    " m: its traction does not overcome the climb of " + climb +
                                    " per mille (curves included) under it",
                                at, std::nullopt};
            }
            return RunIssue{true,
                            "the train stalls on the climb at " + std::to_string(at) +
                                " m: its traction does not overcome the " + climb +
                                " per mille (curves included) under it",
                            at, std::nullopt};
        }
        forward_[k + 1] = std::min(limit2_[k + 1], next);
    }
    return std::nullopt;
}

std::optional<RunIssue> SpeedProfiler::brake(std::int32_t a) {
    const double per_mille = 1000.0 / kGravity * (train_.inertia / train_.mass);
    backward_.resize(points_);
    backward_[points_ - 1] = 0;
    const double level = train_.braking;
    double after = 0;  // the speed squared braking at the point after k
    for (std::size_t k = points_ - 1; k-- > 0;) {
        const double braking = level + descent_[k];
        if (!(braking > 0)) {
            const auto at = a + static_cast<std::int32_t>(k);
            return RunIssue{true,
                            "the service brake of " + fixed(train_.braking, 2) +
                                " m/s2 cannot hold the train on the descent of " +
                                fixed(-descent_[k] * per_mille, 1) + " per mille at " +
                                std::to_string(at) + " m",
                            at, std::nullopt};
        }
        // At the limit of the point after, within the same limit, the train holds it: no
        // sum waits on the point before, as in the forward pass.
        if (limit2_[k] != after) {
            after = std::min(limit2_[k], after + 2 * braking);
        }
        backward_[k] = after;
    }
    return std::nullopt;
}

// Before each braking the train holds its speed for the reaction time. Where it cruised into
// the braking point nothing changes; where it accelerated up to it, the peak is cut to the
// highest speed whose run of that speed, reaction time long, fits under the curve.
void SpeedProfiler::react(std::span<double> speeds) const {
    const std::size_t n = points_;
    const auto braking_at = [&](std::size_t k) {
        return backward_[k] < forward_[k] && speeds[k] < speeds[k - 1];
    };
    // The peaks are found on the curve before any is cut. A train already slowing on a climb
    // when it must brake holds its speed while it reacts, as a cruising one does.
    std::vector<std::size_t> peaks;
    for (std::size_t k = 1; k < n; ++k) {
        if (braking_at(k) && !(k >= 2 && braking_at(k - 1)) &&
            (k < 2 || speeds[k - 1] >= speeds[k - 2])) {
            peaks.push_back(k - 1);
        }
    }
    for (const std::size_t peak : peaks) {
        std::size_t left = peak;
        std::size_t right = peak;
        double level = speeds[peak];
        while (static_cast<double>(right - left) < level * train_.reaction) {
            const double before = left > 0 ? speeds[left - 1] : 0;
            const double after = right + 1 < n ? speeds[right + 1] : 0;
            // A stop ends the widening: a leg too short for the whole reaction keeps the last
            // speed above rest.
            if (!(std::max(before, after) > 0)) {
                break;
            }
            if (before >= after) {
                --left;
                level = std::min(level, before);
            } else {
                ++right;
                level = std::min(level, after);
            }
        }
        for (std::size_t j = left; j <= right; ++j) {
            speeds[j] = std::min(speeds[j], level);
        }
    }
}

}  // namespace scenario::running_time
