#include "running_time/line_profile.h"

#include <algorithm>
#include <utility>

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

}  // namespace

LineProfile line_profile_of(const BuildState& state) {
    LineProfile out;
    read_cells(state, out);
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

std::vector<CurveStretch> curve_stretches(std::span<const CurveRecord> records) {
    // The classes' curvatures per metre, tested in this order.
    static constexpr std::pair<char, double> kClasses[] = {
        {'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004}, {'4', 0.001}, {'5', 0.002}, {'6', 0.003}};
    // The build bends no metre past this one.
    constexpr std::int64_t kLastBentMetre = 1000000;
    std::vector<CurveStretch> out;
    std::int64_t reach = 1;  // metres before this one are bent or straight already
    for (const auto& record : records) {
        double curvature = 0;
        for (const auto& [digit, k] : kClasses) {
            if (record.keyword.find(digit) != std::string_view::npos) {
                curvature = k;
                break;
            }
        }
        const std::int64_t from = std::max(record.start, reach);
        const std::int64_t to = std::min(record.start + record.length, kLastBentMetre);
        reach = std::max({reach, record.start, to});
        if (curvature > 0 && from < to) {
            out.push_back(
                {static_cast<std::int32_t>(from), static_cast<std::int32_t>(to), 1.0 / curvature});
        }
    }
    return out;
}

}  // namespace scenario::running_time
