#include "view/scenario_view.h"

#include <gtest/gtest.h>

#include "tool/synthetic_scenario.h"
#include "view/svg_plot.h"

namespace scenario::tool {
namespace {

ScenarioView synthetic_view(bool with_plan = true) {
    const auto state = testing::synthetic_state(with_plan);
    return make_view({state.locations.begin(), state.locations.end()}, state.cells,
                     with_plan ? std::optional(state.plan) : std::nullopt);
}

TEST(ScenarioView, FindsTheStationsButNotTheSignBoards) {
    const auto view = synthetic_view();
    ASSERT_EQ(view.stations.size(), 4u);
    EXPECT_EQ(view.stations[0].name, "LAGO");
    EXPECT_TRUE(view.stations[0].stops);
    EXPECT_FALSE(view.stations[2].stops);
    EXPECT_EQ(view.stations[3].zoneEnd, 19300);
    ASSERT_EQ(view.signBoards.size(), 1u);
    EXPECT_EQ(view.signBoards[0].text, "(PONTE SUL)(FIUME)");
    EXPECT_EQ(view.signBoards[0].position, 2950);
}

TEST(ScenarioView, PairsTheSlowdownBoardsAndPlacesObjectsAtTheirPositions) {
    const auto view = synthetic_view();
    ASSERT_EQ(view.slowdowns.size(), 1u);
    EXPECT_EQ(view.slowdowns[0].warning, 12800);
    EXPECT_EQ(view.slowdowns[0].start, 14000);
    EXPECT_EQ(view.slowdowns[0].end, 14300);
    EXPECT_EQ(view.slowdowns[0].speed, 40);
    ASSERT_EQ(view.signals.size(), 9u);
    EXPECT_EQ(view.signals.front(), 1850);
    EXPECT_EQ(view.codePoints.size(), 3u);
}

TEST(ScenarioView, JoinsTheCellsOfAMountainSpan) {
    const auto view = synthetic_view();
    ASSERT_EQ(view.spans.size(), 3u);
    EXPECT_EQ(view.spans[1].start, 9200);
    EXPECT_EQ(view.spans[1].end, 10100);
    EXPECT_EQ(view.spans[2].kind, 3);
}

TEST(ScenarioView, KeepsTheProfileToTheRoute) {
    const auto view = synthetic_view();
    EXPECT_EQ(view.routeLength, 20000);
    ASSERT_EQ(view.gradient.size(), 400u);
    EXPECT_EQ(view.gradient[100], 12);
    EXPECT_EQ(view.gradient[200], -8);
    EXPECT_EQ(view.speed[0], 60);
    EXPECT_EQ(view.adhesion[190], 80);
}

TEST(SvgPlot, DrawsTheNamesEscapedAndTheWholePicture) {
    const auto svg = render_svg(synthetic_view());
    EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    EXPECT_NE(svg.find("LAGO &amp; MONTE"), std::string::npos);
    EXPECT_NE(svg.find("CASELLO &lt;12&gt;"), std::string::npos);
    EXPECT_NE(svg.find(">SAN PIETRO D'ORO<"), std::string::npos);
    EXPECT_NE(svg.find("slowdown 40 km/h"), std::string::npos);
    EXPECT_NE(svg.find("10 km"), std::string::npos);
    EXPECT_EQ(svg.find("CASELLO <12>"), std::string::npos);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
}

TEST(SvgPlot, SaysSoWhenThereIsNoPlan) {
    const auto svg = render_svg(synthetic_view(false));
    EXPECT_NE(svg.find("no track plan"), std::string::npos);
    EXPECT_NE(svg.find("speed limit"), std::string::npos);
}

TEST(SvgPlot, DrawsAnEmptyScenarioWithoutFailing) {
    const auto svg = render_svg(make_view({}, {}, std::nullopt));
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
}

}  // namespace
}  // namespace scenario::tool
