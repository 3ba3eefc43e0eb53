#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/json.h"
#include "running_time/fastest_run.h"
#include "running_time/line_profile.h"

namespace scenario::running_time {

// A station as the route page marks it on the speed-distance curve.
struct PageStation {
    std::string name;  // UTF-8
    std::int32_t position = 0;
    std::optional<std::int32_t> scheduled;  // s from the previous timed station
    std::optional<double> fastest;          // s, the same span
    std::optional<double> margin;           // s
    std::optional<std::string> departure;   // the text's time, "HH:MM:SS"; none without one
    std::size_t entry = 0;                  // its entry in the scenario table
    std::optional<std::int64_t> object;     // the page's object for it, set by the page's maker
};

// The `run` member of the route page's data: the curve [metre, km/h] and the stations.
struct PageRun {
    std::vector<SpeedPoint> points;
    std::vector<PageStation> stations;
};

// The page's view of a computed run; none when the run could not be made.
std::optional<PageRun> page_run(const LineProfile& profile, const RunResult& run);

// "HH:MM:SS" of seconds after midnight.
std::string time_of_day(std::int32_t seconds);

// The member's value: {"points": [[m, km/h], ...], "stations": [...]}, metres to 0.1 m,
// speeds to 0.01 km/h, seconds to 0.1 s.
tool::Json page_run_json(const PageRun& run);

}  // namespace scenario::running_time
