#include "diagnostics/timetable_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "diagnostics/reading_diagnostics.h"
#include "sources/writers.h"
#include "support/fault_cases.h"

namespace scenario::tool {
namespace {

using testing::Lines;
using testing::replace_line;
using testing::text_of;

Lines builtin_line() {
    return {sources::line_description_lines().begin(), sources::line_description_lines().end()};
}
Lines builtin_train() {
    return {sources::train_service_lines().begin(), sources::train_service_lines().end()};
}

void read(ReadScenario& scenario, const Lines& line, const Lines& train, bool plans) {
    ReadRequest request;
    request.reading.plans = plans;
    read_scenario(scenario, {"line.txt", text_of(line)}, {"train.txt", text_of(train)}, request);
}

// An author's edit that leaves the times as they were makes one of them impossible: the
// warning stands at that station's time, in the train text.
TEST(TimetableCheck, AnEditThatSlowsTheTrainMakesTheStationsTimeTooTight) {
    struct Case {
        const char* what;
        std::function<void(Lines& line, Lines& train)> edit;
        int line;  // of the station whose time cannot be kept
        const char* station;
        std::string_view time;  // as its line writes it
    } const cases[] = {
        {"PORTO ASCENSO moved 1200 m further",
         [](Lines&, Lines& train) {
             replace_line(train, 43,
                          "stazione,   17800, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   30,   7, 1,30, "
                          "PORTO ASCENSO");
         },
         43, "PORTO ASCENSO", "7, 1,30"},
        {"a 40 km/h slowdown before VALSO DI SOTTO",
         [](Lines&, Lines& train) {
             testing::insert_line(train, 63, "rallentamento,   42000,    40,  300, 1,  1,  0");
         },
         51, "VALSO DI SOTTO", "7,43, 0"},
        {"the limit from 39500 m lowered from 90 to 60 km/h",
         [](Lines&, Lines& train) { replace_line(train, 34, "velocita,   39500,    60"); }, 51,
         "VALSO DI SOTTO", "7,43, 0"},
    };
    for (const auto& c : cases) {
        Lines line = builtin_line();
        Lines train = builtin_train();
        c.edit(line, train);
        ReadScenario scenario;
        read(scenario, line, train, false);
        const auto found = diagnose(scenario, {});
        std::string listed;
        for (const auto& d : found) {
            listed += "\n" + d.code + " " + d.message;
        }
        ASSERT_EQ(found.size(), 1u) << c.what << listed;
        const auto& d = found[0];
        EXPECT_EQ(d.code, "timetable-too-tight") << c.what;
        EXPECT_EQ(d.place.file, "train.txt") << c.what;
        EXPECT_EQ(d.place.line, c.line) << c.what;
        // The caret stands under the hours and spans to the seconds.
        const auto time_at = train[static_cast<std::size_t>(c.line - 1)].find(c.time);
        EXPECT_EQ(d.place.column, static_cast<std::int32_t>(time_at) + 1) << c.what;
        EXPECT_EQ(d.place.length, static_cast<std::int32_t>(c.time.size())) << c.what;
        EXPECT_EQ(d.message.rfind(std::string(c.station) + ": scheduled ", 0), 0u) << d.message;
        EXPECT_NE(d.message.find("too little)"), std::string::npos) << d.message;
    }
}

// The curves a check counts from their records are those the build bends the plan along,
// metre for metre, with the plan's radius.
TEST(TimetableCheck, TheCurvesOfTheRecordsAreThoseOfThePlan) {
    ReadScenario planned;
    read(planned, builtin_line(), builtin_train(), true);
    ReadScenario checked;
    read(checked, builtin_line(), builtin_train(), false);
    ASSERT_TRUE(planned.state.plan.allocated());
    ASSERT_FALSE(checked.state.plan.allocated());
    const auto curves = run_profile_of(checked).curves;
    ASSERT_EQ(curves.size(), 152u);

    const auto& x = planned.state.plan.axis[0].values;
    const auto& y = planned.state.plan.axis[1].values;
    std::size_t next = 0;
    int bent = 0;
    for (std::size_t m = 1; m + 1 < x.size() && m < 100000; ++m) {
        // The turn from the step into metre m to the step out of it, over the step squared.
        const double ax = x[m] - x[m - 1], ay = y[m] - y[m - 1];
        const double bx = x[m + 1] - x[m], by = y[m + 1] - y[m];
        const double turn = std::fabs(ax * by - ay * bx) / (ax * ax + ay * ay);
        const auto metre = static_cast<std::int32_t>(m);
        while (next < curves.size() && curves[next].to <= metre) {
            ++next;
        }
        const bool in_curve = next < curves.size() && curves[next].from <= metre;
        ASSERT_EQ(turn > 1e-6, in_curve) << "metre " << m;
        if (in_curve) {
            ASSERT_NEAR(1 / turn, curves[next].radius, curves[next].radius * 1e-6) << m;
            ++bent;
        }
    }
    EXPECT_GT(bent, 40000);
}

}  // namespace
}  // namespace scenario::tool
