#pragma once

#include <cstdint>
#include <span>

#include "running_time/line_profile.h"
#include "running_time/run_result.h"

namespace scenario::running_time {

inline constexpr std::int32_t kDaySeconds = 24 * 3600;

// Seconds from one time of day to the next, a day later when it reads earlier (midnight).
std::int32_t scheduled_seconds(std::int32_t from, std::int32_t to);

// What the run gives between one station and the one before it.
struct Stretch {
    double top_speed = 0;        // km/h
    bool limit_unknown = false;  // crosses metres without a known limit
};

// Sets the timetable of each station from its time and the run's moments: a span runs from one
// timed station to the next, each at its departure, the last station at its arrival. The
// stations carry their arrival and departure already; stretches[i] is the run from station
// i - 1 to station i. Fills the totals' scheduled, fastest, margin and late spans.
void set_timetable(std::span<const RunStation> stations, std::span<const Stretch> stretches,
                   std::span<StationTiming> timings, RunTotals& totals);

}  // namespace scenario::running_time
