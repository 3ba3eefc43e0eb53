#include "running_time/timetable.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace scenario::running_time {
namespace {

constexpr std::int32_t at(std::int32_t h, std::int32_t m, std::int32_t s = 0) {
    return (h * 60 + m) * 60 + s;
}

TEST(Timetable, ScheduledSecondsRunForwardAcrossMidnight) {
    struct Case {
        std::int32_t from, to, seconds;
    } const cases[] = {
        {at(6, 37), at(6, 48), 660},   {at(7, 16), at(7, 16, 30), 30},
        {at(23, 50), at(0, 10), 1200}, {at(23, 59, 30), at(0, 0, 30), 60},
        {at(8, 0), at(8, 0), 0},       {at(8, 0), at(7, 59), kDaySeconds - 60},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scheduled_seconds(c.from, c.to), c.seconds) << c.from << " " << c.to;
    }
}

// Stations with their times (0: none), stops and the run's moments at them.
struct Row {
    std::int32_t time;
    double arrival, departure, top;
};

struct Table {
    std::vector<RunStation> stations;
    std::vector<StationTiming> timings;
    std::vector<Stretch> stretches;
    RunTotals totals;
};

Table table_of(std::initializer_list<Row> rows) {
    Table t;
    for (const auto& r : rows) {
        RunStation s;
        if (r.time != 0) {
            s.time = r.time;
        }
        StationTiming timing;
        timing.station = t.stations.size();
        timing.arrival = r.arrival;
        timing.departure = r.departure;
        t.stations.push_back(s);
        t.timings.push_back(timing);
        t.stretches.push_back({r.top, false});
    }
    set_timetable(t.stations, t.stretches, t.timings, t.totals);
    return t;
}

TEST(Timetable, SpansRunFromDepartureToDepartureAndEndAtTheLastArrival) {
    const auto t = table_of({
        {at(6, 37), 0, 0, 0},            // first: departs at the run's start
        {0, 100, 100, 70},               // passed without a time
        {0, 300, 360, 65},               // an untimed stop: its dwell lies in the span
        {at(6, 48), 500, 590, 60},       // departs after its 90 s
        {at(23, 59, 30), 700, 700, 90},  // a timed pass
        {at(0, 2), 900, 930, 40},        // the last station: its arrival, not its departure
    });
    const auto& r = t.timings;
    EXPECT_FALSE(r[0].scheduled);
    EXPECT_FALSE(r[1].scheduled);
    EXPECT_FALSE(r[2].fastest);
    EXPECT_EQ(r[3].scheduled, 660);
    EXPECT_EQ(r[3].fastest, 590);
    EXPECT_EQ(r[3].margin, 70);
    EXPECT_DOUBLE_EQ(*r[3].margin_share, 70.0 / 660);
    EXPECT_EQ(r[3].top_speed, 70);
    EXPECT_EQ(r[3].previous_timed, 0u);
    EXPECT_EQ(r[4].scheduled, at(23, 59, 30) - at(6, 48));
    EXPECT_EQ(r[4].fastest, 110);
    EXPECT_EQ(r[4].top_speed, 90);
    EXPECT_EQ(r[5].scheduled, 150);  // across midnight
    EXPECT_EQ(r[5].fastest, 200);
    EXPECT_EQ(r[5].margin, -50);
    EXPECT_EQ(r[5].top_speed, 40);
    EXPECT_EQ(r[5].previous_timed, 4u);
    EXPECT_EQ(t.totals.scheduled, 660 + (at(23, 59, 30) - at(6, 48)) + 150);
    EXPECT_EQ(t.totals.fastest, 900);
    EXPECT_EQ(t.totals.late_spans, 1u);
}

TEST(Timetable, NoSpanWithoutTwoTimedStations) {
    const auto untimed_first = table_of({{0, 0, 0, 0}, {at(7, 0), 50, 80, 50}, {0, 200, 200, 60}});
    EXPECT_FALSE(untimed_first.timings[1].scheduled);
    EXPECT_FALSE(untimed_first.totals.scheduled);
    EXPECT_FALSE(untimed_first.totals.margin);
    // A span of 0 s has a margin but no share of it.
    const auto same = table_of({{at(7, 0), 0, 0, 0}, {at(7, 0), 50, 50, 50}});
    EXPECT_EQ(same.timings[1].margin, -50);
    EXPECT_FALSE(same.timings[1].margin_share);
}

TEST(Timetable, AMarginUnderTheThresholdIsTightAndAShortfallLate) {
    struct Case {
        std::optional<std::int32_t> scheduled;
        double fastest;
        Keeping keeping;
    } const cases[] = {
        {std::nullopt, 100, Keeping::untimed},
        {300, 300.01, Keeping::late},
        {300, 291.01, Keeping::tight},
        {300, 291, Keeping::kept},
        {0, 1, Keeping::late},
        {300, 300, Keeping::tight},
    };
    for (const auto& c : cases) {
        StationTiming t;
        t.scheduled = c.scheduled;
        if (c.scheduled) {
            t.fastest = c.fastest;
            t.margin = *c.scheduled - c.fastest;
            if (*c.scheduled > 0) {
                t.margin_share = *t.margin / *c.scheduled;
            }
        }
        EXPECT_EQ(keeping(t, 0.03), c.keeping) << c.scheduled.value_or(-1) << " " << c.fastest;
    }
}

}  // namespace
}  // namespace scenario::running_time
