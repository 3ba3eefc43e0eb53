#include "running_time/run_page.h"

#include <gtest/gtest.h>

#include "textbook_line.h"

namespace scenario::running_time {
namespace {

using testing::add_passed;
using testing::add_stop;

TEST(RunPage, GivesTheCurveAndEachStationWithItsTimesInUtf8) {
    auto line = testing::level_line(200, 72);
    add_stop(line, 1000, 0, (6 * 60 + 37) * 60);
    add_passed(line, 3000);
    add_stop(line, 6000, 0, (6 * 60 + 48) * 60 + 5);
    line.stations[1].name = "RIV\xC0";
    const auto run = fastest_run(line, testing::textbook_train(0.5, 0.5));
    const auto page = page_run(line, run);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->points.size(), run.curve.size());
    ASSERT_EQ(page->stations.size(), 3u);
    EXPECT_EQ(page->stations[0].departure, "06:37:00");
    EXPECT_FALSE(page->stations[0].scheduled);
    EXPECT_EQ(page->stations[1].name, "RIV\xC3\x80");
    EXPECT_FALSE(page->stations[1].departure);
    EXPECT_EQ(page->stations[2].scheduled, 665);
    EXPECT_EQ(page->stations[2].fastest, run.stations[2].fastest);
    EXPECT_EQ(page->stations[2].entry, 3u);

    line.stations.pop_back();
    line.stations.pop_back();  // one station: no run, no page data
    EXPECT_FALSE(page_run(line, fastest_run(line, {})));
}

TEST(RunPage, WritesTheMemberOfTheRoutePage) {
    PageRun run;
    run.points = {{800, 0}, {850.04, 12.346}};
    PageStation first;
    first.name = "LAGO";
    first.position = 400;
    first.departure = "06:37:00";
    first.object = 17;
    PageStation second;
    second.name = "VALL\xC3\x89";
    second.position = 8000;
    second.scheduled = 660;
    second.fastest = 478.54;
    second.margin = 181.46;
    run.stations = {first, second};
    EXPECT_EQ(tool::json_text(page_run_json(run)),
              "{\"points\":[[800,0],[850,12.35]],\"stations\":["
              "{\"name\":\"LAGO\",\"position\":400,\"scheduled\":null,\"fastest\":null,"
              "\"margin\":null,\"departure\":\"06:37:00\",\"object\":17},"
              "{\"name\":\"VALL\xC3\x89\",\"position\":8000,\"scheduled\":660,"
              "\"fastest\":478.5,\"margin\":181.5,\"departure\":null,\"object\":null}]}");
}

}  // namespace
}  // namespace scenario::running_time
