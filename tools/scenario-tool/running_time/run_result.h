#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "running_time/train_parameters.h"

// What a fastest run gives (fastest_run.h tells how it is made).
namespace scenario::running_time {

// Something the run could not do, or a caveat on what it did.
struct RunIssue {
    bool blocks = false;  // the run could not be made: no times
    std::string message;
    std::optional<std::int32_t> from;  // metres, when the issue has a place
    std::optional<std::int32_t> to;    // end of a stretch (exclusive)
};

// A point of the speed-distance curve: the head at `metre` runs at `kmh`.
struct SpeedPoint {
    double metre = 0;
    double kmh = 0;
};

// One station of the run and its place in the timetable.
struct StationTiming {
    std::size_t station = 0;  // index in LineProfile::stations
    std::int32_t at = 0;      // metre where the head stops (a stop) or passes (passed)
    bool stops = false;
    double arrival = 0;                         // s after the departure from the first station
    double departure = 0;                       // arrival plus the dwell at a stop in between
    std::optional<std::size_t> previous_timed;  // the timed station the span starts at
    std::optional<std::int32_t> scheduled;      // s, its time less the previous timed one's
    std::optional<double> fastest;              // s, the run over the same span
    std::optional<double> margin;               // s, scheduled - fastest
    std::optional<double> margin_share;         // margin / scheduled; none for a span of 0 s
    std::optional<double> top_speed;            // km/h in the span
    bool limit_unknown = false;                 // the span crosses a stretch without a known limit
};

struct RunTotals {
    std::optional<std::int32_t> scheduled;  // first timed station to the last timed one
    std::optional<double> fastest;
    std::optional<double> margin;
    double running_time = 0;     // s, the whole run first station to last, dwells included
    double distance = 0;         // m
    double top_speed = 0;        // km/h
    std::size_t late_spans = 0;  // spans whose scheduled time cannot be met
};

struct RunResult {
    std::vector<RunIssue> issues;
    ResolvedTrain train;  // as used; empty when the parameters were refused
    std::vector<SpeedPoint> curve;
    std::vector<StationTiming> stations;  // one per station, in travel order
    RunTotals totals;

    // Whether the run was made: no issue blocks it.
    bool computed() const {
        return std::none_of(issues.begin(), issues.end(),
                            [](const RunIssue& issue) { return issue.blocks; }) &&
               !stations.empty();
    }
};

}  // namespace scenario::running_time
