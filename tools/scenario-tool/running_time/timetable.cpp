#include "running_time/timetable.h"

#include <algorithm>

namespace scenario::running_time {

std::int32_t scheduled_seconds(std::int32_t from, std::int32_t to) {
    const std::int64_t span = (std::int64_t{to} - from) % kDaySeconds;
    return static_cast<std::int32_t>(span < 0 ? span + kDaySeconds : span);
}

void set_timetable(std::span<const RunStation> stations, std::span<const Stretch> stretches,
                   std::span<StationTiming> timings, RunTotals& totals) {
    if (timings.empty()) {
        return;
    }
    const std::size_t last = timings.size() - 1;
    // The moment a station's time stands for: its departure, or the arrival at the last.
    const auto moment = [&](std::size_t i) {
        return i == last ? timings[i].arrival : timings[i].departure;
    };
    std::optional<std::size_t> previous;
    std::optional<std::size_t> first_timed;
    double top = 0;
    bool unknown = false;
    std::int64_t scheduled_total = 0;
    for (std::size_t i = 0; i < timings.size(); ++i) {
        if (i > 0) {
            top = std::max(top, stretches[i].top_speed);
            unknown = unknown || stretches[i].limit_unknown;
        }
        const auto& time = stations[timings[i].station].time;
        if (!time) {
            continue;
        }
        if (previous) {
            auto& t = timings[i];
            const auto& from = stations[timings[*previous].station];
            t.previous_timed = *previous;
            t.scheduled = scheduled_seconds(*from.time, *time);
            t.fastest = moment(i) - moment(*previous);
            t.margin = *t.scheduled - *t.fastest;
            if (*t.scheduled > 0) {
                t.margin_share = *t.margin / *t.scheduled;
            }
            t.top_speed = top;
            t.limit_unknown = unknown;
            scheduled_total += *t.scheduled;
            if (*t.margin < 0) {
                ++totals.late_spans;
            }
        } else {
            first_timed = i;
        }
        previous = i;
        top = 0;
        unknown = false;
    }
    if (first_timed && previous && *previous != *first_timed) {
        totals.scheduled = static_cast<std::int32_t>(scheduled_total);
        totals.fastest = moment(*previous) - moment(*first_timed);
        totals.margin = *totals.scheduled - *totals.fastest;
    }
}

Keeping keeping(const StationTiming& timing, double margin_note) {
    if (!timing.scheduled || !timing.margin) {
        return Keeping::untimed;
    }
    if (*timing.margin < 0) {
        return Keeping::late;
    }
    // A span of 0 s has no share; the fastest run takes time, so it is late above.
    if (timing.margin_share && *timing.margin_share < margin_note) {
        return Keeping::tight;
    }
    return Keeping::kept;
}

}  // namespace scenario::running_time
