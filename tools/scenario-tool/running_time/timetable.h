#pragma once

#include <cstdint>
#include <span>

#include "running_time/line_profile.h"
#include "running_time/run_result.h"

namespace scenario::running_time {

inline constexpr std::int32_t kDaySeconds = 24 * 3600;

// The margin, as a share of the scheduled time, under which a kept time earns a note. Timetable
// planners add 3 to 7 per cent to the fastest running time of a regional train, so that a
// driver who keeps a little under the limits, a late start or a wet rail do not make it late;
// under the least of these the time holds only for a train driven to the limit.
inline constexpr double kDefaultMarginNote = 0.03;

// How a station's scheduled time stands against the fastest run.
enum class Keeping {
    untimed,  // no span ends here: no time, or the first timed station
    late,     // the fastest run takes longer than the scheduled time
    tight,    // kept, with a margin under the threshold
    kept,
};

Keeping keeping(const StationTiming& timing, double margin_note);

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
