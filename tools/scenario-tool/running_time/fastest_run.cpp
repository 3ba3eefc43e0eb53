#include "running_time/fastest_run.h"

#include <algorithm>
#include <cmath>

#include "running_time/curve_points.h"
#include "running_time/number_text.h"
#include "running_time/speed_profile.h"
#include "running_time/timetable.h"

namespace scenario::running_time {

namespace {

std::string quoted(const std::string& name) {
    return "'" + name + "'";
}

RunIssue blocker(std::string message, std::optional<std::int32_t> at = std::nullopt) {
    return {true, std::move(message), at, std::nullopt};
}

// Where each station's moment is: the stop point for a stop, the position for a station
// passed. The first and the last station are stops whatever their kind.
void place_stations(const LineProfile& profile, RunResult& result) {
    const std::size_t count = profile.stations.size();
    for (std::size_t i = 0; i < count; ++i) {
        const auto& s = profile.stations[i];
        StationTiming t;
        t.station = i;
        t.stops = s.stops() || i == 0 || i + 1 == count;
        t.at = t.stops ? s.zoneEnd : s.position;
        result.stations.push_back(t);
    }
}

bool check_stations(const LineProfile& profile, RunResult& result) {
    if (profile.stations.size() < 2) {
        result.issues.push_back(blocker("a run needs two stations at least; the train text has " +
                                        std::to_string(profile.stations.size())));
        return false;
    }
    const auto end = static_cast<std::int64_t>(profile.limit_kmh.size()) * kCellMetres;
    for (std::size_t i = 0; i < result.stations.size(); ++i) {
        const auto& t = result.stations[i];
        const auto& name = profile.stations[i].name;
        const std::string where = t.stops ? " stops at " : " is passed at ";
        if (t.at < 0 || t.at > end) {
            result.issues.push_back(blocker("the station " + quoted(name) + where +
                                                std::to_string(t.at) + " m, off the line's " +
                                                std::to_string(end) + " m",
                                            t.at));
            return false;
        }
        if (i > 0 && t.at <= result.stations[i - 1].at) {
            result.issues.push_back(blocker("the station " + quoted(name) + where +
                                                std::to_string(t.at) +
                                                " m, not past the station before it (" +
                                                std::to_string(result.stations[i - 1].at) +
                                                " m): a run needs the stations in travel order",
                                            t.at));
            return false;
        }
    }
    return true;
}

// The limits per cell in m/s and the stretches where none is known.
bool track_terms(const LineProfile& profile, const ResolvedTrain& train, std::int32_t from,
                 std::int32_t to, TrackTerms& track, RunResult& result) {
    const std::size_t cells = profile.limit_kmh.size();
    track.limit.resize(cells);
    for (std::size_t c = 0; c < cells; ++c) {
        const std::int32_t kmh = profile.limit_kmh[c];
        track.limit[c] = kmh > 0 ? std::min(train.top_speed, kmh / 3.6) : train.top_speed;
    }
    for (const auto& slowdown : profile.slowdowns) {
        const std::int32_t start = slowdown.first_cell * kCellMetres;
        const std::int32_t end = (slowdown.last_cell + 1) * kCellMetres;
        if (end <= from - train.length || start > to) {
            continue;
        }
        if (slowdown.kmh <= 0) {
            result.issues.push_back({true,
                                     "the slowdown from " + std::to_string(start) + " m to " +
                                         std::to_string(end) + " m has a speed of " +
                                         std::to_string(slowdown.kmh) + " km/h: no train passes it",
                                     start, end});
            return false;
        }
        for (std::int32_t c = std::max(0, slowdown.first_cell);
             c <= slowdown.last_cell && c < static_cast<std::int32_t>(cells); ++c) {
            auto& limit = track.limit[static_cast<std::size_t>(c)];
            limit = std::min(limit, slowdown.kmh / 3.6);
        }
    }
    track.gradient = profile.gradient_permille;
    if (train.curve_resistance) {
        track.curves = profile.curves;
    }
    // The metres without a known limit that the train covers, from its tail at the start.
    const auto first_cell =
        static_cast<std::int32_t>(std::max(0.0, std::floor((from - train.length) / kCellMetres)));
    const std::int32_t last_cell = std::min(to / kCellMetres, static_cast<std::int32_t>(cells) - 1);
    for (std::int32_t c = first_cell; c <= last_cell; ++c) {
        if (profile.limit_kmh[static_cast<std::size_t>(c)] > 0) {
            continue;
        }
        std::int32_t end = c;
        while (end + 1 <= last_cell && profile.limit_kmh[static_cast<std::size_t>(end + 1)] <= 0) {
            ++end;
        }
        result.issues.push_back(
            {false,
             "no speed limit is stored from " + std::to_string(c * kCellMetres) + " m to " +
                 std::to_string((end + 1) * kCellMetres) +
                 " m (0 km/h: no speed record covers "
                 "it): the train runs there at its own top speed of " +
                 fixed(train.top_speed * 3.6, 0) + " km/h, so the times over it are lower bounds",
             c * kCellMetres, (end + 1) * kCellMetres});
        c = end;
    }
    return true;
}

// Whether metres [from - length, to] touch a cell without a known limit.
bool limit_unknown(const LineProfile& profile, double from, std::int32_t to) {
    const auto cells = static_cast<std::int32_t>(profile.limit_kmh.size());
    const auto first = static_cast<std::int32_t>(std::max(0.0, std::floor(from / kCellMetres)));
    for (std::int32_t c = first; c <= to / kCellMetres && c < cells; ++c) {
        if (profile.limit_kmh[static_cast<std::size_t>(c)] <= 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

RunResult fastest_run(const LineProfile& profile, const TrainParameters& parameters,
                      const RunOptions& options) {
    RunResult result;
    auto resolution = resolve_train(parameters, profile.coaches, profile.braked_mass_percent);
    for (auto& problem : resolution.problems) {
        result.issues.push_back(blocker(std::move(problem)));
    }
    place_stations(profile, result);
    if (!resolution.problems.empty() || !check_stations(profile, result)) {
        return result;
    }
    const ResolvedTrain& train = result.train = resolution.train;
    auto& stations = result.stations;
    const std::int32_t first = stations.front().at;
    const std::int32_t last = stations.back().at;
    TrackTerms track;
    if (!track_terms(profile, train, first, last, track, result)) {
        return result;
    }

    SpeedProfiler profiler(track, train);
    std::vector<float> kmh(static_cast<std::size_t>(last - first) + 1);
    std::vector<double> leg;
    std::vector<Stretch> stretches(stations.size());
    std::vector<std::int32_t> stops;
    double clock = 0;  // s since the departure from the first station
    double top = 0;    // km/h since the last station
    std::size_t from = 0;
    while (from + 1 < stations.size()) {
        std::size_t to = from + 1;
        while (!stations[to].stops) {
            ++to;
        }
        const std::int32_t a = stations[from].at;
        const std::int32_t b = stations[to].at;
        stops.push_back(a);
        leg.resize(static_cast<std::size_t>(b - a) + 1);
        if (auto blocked = profiler.leg(a, b, leg)) {
            result.issues.push_back(std::move(*blocked));
            return result;
        }
        std::size_t next = from + 1;  // the next station whose moment lies ahead
        for (std::size_t k = 0; k < leg.size(); ++k) {
            const std::int32_t s = a + static_cast<std::int32_t>(k);
            if (k > 0) {
                const double sum = leg[k - 1] + leg[k];
                if (!(sum > 0)) {
                    result.issues.push_back(
                        blocker("the train cannot move at " + std::to_string(s) + " m", s));
                    return result;
                }
                clock += 2.0 / sum;
            }
            const double speed = leg[k] * 3.6;
            kmh[static_cast<std::size_t>(s - first)] = static_cast<float>(speed);
            top = std::max(top, speed);
            if (next <= to && s == stations[next].at) {
                auto& t = stations[next];
                t.arrival = clock;
                t.departure = clock;
                stretches[next].top_speed = top;
                stretches[next].limit_unknown =
                    limit_unknown(profile, stations[next - 1].at - train.length, s);
                top = speed;
                ++next;
            }
        }
        auto& stop = stations[to];
        if (to + 1 < stations.size()) {
            stop.departure = stop.arrival + profile.stations[to].dwell;
        }
        clock = stop.departure;
        from = to;
    }
    stops.push_back(last);

    auto& totals = result.totals;
    totals.running_time = stations.back().arrival;
    totals.distance = last - first;
    totals.top_speed = *std::max_element(kmh.begin(), kmh.end());
    if (options.curve_points > 0) {
        result.curve =
            thin_curve_to(kmh, first, stops, options.curve_tolerance, options.curve_points);
    }
    set_timetable(profile.stations, stretches, stations, totals);
    return result;
}

}  // namespace scenario::running_time
