#include "running_time/line_profile.h"

#include <cmath>

namespace scenario::running_time {

namespace {

using compiler::BuildState;
namespace cell_kind = compiler::cell_kind;

void read_cells(const BuildState& state, LineProfile& out) {
    out.limit_kmh.reserve(state.cells.size());
    out.gradient_permille.reserve(state.cells.size());
    struct Open {
        std::int32_t first_cell;
        std::int32_t kmh;
    };
    std::vector<Open> open;
    for (std::size_t c = 0; c < state.cells.size(); ++c) {
        const auto& cell = state.cells[c];
        const auto index = static_cast<std::int32_t>(c);
        out.limit_kmh.push_back(std::int32_t{cell.speedStep} * 5);
        out.gradient_permille.push_back(std::int32_t{cell.gradientCode} - 100);
        if (cell.kind == cell_kind::slowdown_start) {
            open.push_back({index, cell.ref});
        } else if (cell.kind == cell_kind::slowdown_end && !open.empty()) {
            // Both boards carry the slowdown's speed: an end closes the earliest open slowdown
            // of its speed, or the earliest of all when none has it.
            auto closes = open.begin();
            for (auto o = open.begin(); o != open.end(); ++o) {
                if (o->kmh == cell.ref) {
                    closes = o;
                    break;
                }
            }
            out.slowdowns.push_back({closes->first_cell, index, closes->kmh});
            open.erase(closes);
        }
    }
    // A start board without its end restricts to the end of the cells.
    for (const auto& o : open) {
        out.slowdowns.push_back({o.first_cell, state.last_cell(), o.kmh});
    }
}

// The plan turns each metre of a curve by a fixed angle: the turn at a point, over the square
// of the step before it, is the curvature of the metre that follows.
void read_curves(const BuildState& state, LineProfile& out) {
    const auto& plan = state.plan;
    if (!plan.allocated()) {
        return;
    }
    out.has_plan = true;
    const auto& x = plan.axis[0];
    const auto& y = plan.axis[1];
    const auto present = [&](std::size_t m) {
        return x.tags[m] != compiler::PlanTag::empty && y.tags[m] != compiler::PlanTag::empty;
    };
    constexpr double kStraight = 1e-6;  // the gentlest curve class turns 1e-4 per metre
    constexpr double kSameClass = 1e-3;
    CurveStretch stretch;
    double sum = 0;
    bool in_curve = false;
    const auto close = [&](std::int32_t to) {
        if (in_curve) {
            stretch.to = to;
            stretch.radius = (to - stretch.from) / sum;
            out.curves.push_back(stretch);
            in_curve = false;
        }
    };
    const std::size_t points = x.tags.size();
    for (std::size_t m = 1; m + 1 < points; ++m) {
        if (!present(m - 1) || !present(m) || !present(m + 1)) {
            close(static_cast<std::int32_t>(m));
            continue;
        }
        const double ax = x.values[m] - x.values[m - 1];
        const double ay = y.values[m] - y.values[m - 1];
        const double bx = x.values[m + 1] - x.values[m];
        const double by = y.values[m + 1] - y.values[m];
        const double step = ax * ax + ay * ay;
        const double k = step > 0 ? std::fabs(ax * by - ay * bx) / step : 0;
        const auto metre = static_cast<std::int32_t>(m);
        if (in_curve &&
            (k <= kStraight || std::fabs(k - sum / (metre - stretch.from)) > kSameClass * k)) {
            close(metre);
        }
        if (k > kStraight) {
            if (!in_curve) {
                stretch = {metre, metre, 0};
                sum = 0;
                in_curve = true;
            }
            sum += k;
        }
    }
    close(static_cast<std::int32_t>(points) - 1);
}

}  // namespace

LineProfile line_profile_of(const BuildState& state) {
    LineProfile out;
    read_cells(state, out);
    read_curves(state, out);
    const auto& train = state.locations[compiler::entry::train];
    out.coaches = train.position;
    out.braked_mass_percent = train.zoneStart;
    for (std::int32_t k = 1; k <= state.stationCount; ++k) {
        const auto entry = static_cast<std::size_t>(k);
        if (entry >= compiler::entry::first_sign_slot) {
            break;
        }
        const auto& s = state.locations[entry];
        RunStation station;
        station.name = s.name;
        station.position = s.position;
        station.kind = s.kind;
        station.zoneStart = s.zoneStart;
        station.zoneEnd = s.zoneEnd;
        station.dwell = s.dwell;
        if (s.timeOfDay != 0) {
            station.time = s.timeOfDay;
        }
        station.entry = entry;
        out.stations.push_back(std::move(station));
    }
    return out;
}

}  // namespace scenario::running_time
