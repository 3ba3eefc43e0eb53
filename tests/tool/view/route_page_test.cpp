#include "view/route_page.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "compiler/model/path_points.h"
#include "view/route_data.h"

namespace scenario::tool {
namespace {

constexpr std::string_view kTemplate =
    "<style>/*@route.css@*/</style><script type=\"application/json\">@route-data@</script>"
    "<script>/*@route.js@*/</script>";

TEST(RoutePage, PartsGoIntoTheirPlacesAndNothingInlinedIsTakenForAPlaceholder) {
    const RoutePageParts parts{kTemplate, "b{}", "let s = '@route-data@ /*@route.css@*/';"};
    const auto page = route_page(parts, R"({"t":"</script><b>"})");
    EXPECT_EQ(page,
              "<style>b{}</style><script type=\"application/json\">"
              "{\"t\":\"\\u003c/script>\\u003cb>\"}</script>"
              "<script>let s = '@route-data@ /*@route.css@*/';</script>");
}

TEST(RoutePage, ATemplateWithoutAPlaceholderIsRefused) {
    for (const std::string_view lacking : {"/*@route.css@*/", "/*@route.js@*/", "@route-data@"}) {
        std::string t(kTemplate);
        t.erase(t.find(lacking), lacking.size());
        EXPECT_THROW(route_page({t, "", ""}, "{}"), std::logic_error) << lacking;
    }
}

TEST(RoutePage, TheBuiltInPageHasItsPartsInlinedAndNoPlaceholderLeft) {
    const auto parts = built_in_page_parts();
    ASSERT_FALSE(parts.script.empty());
    ASSERT_FALSE(parts.style.empty());
    const auto page = route_page(parts, "{\"format\":1}");
    for (const std::string_view mark : {"/*@route.css@*/", "/*@route.js@*/", "@route-data@"}) {
        EXPECT_EQ(page.find(mark), std::string::npos) << mark;
    }
    EXPECT_NE(page.find("id=\"route-data\">{\"format\":1}</script>"), std::string::npos);
    // One script of the page's own and the data; nothing loaded from elsewhere.
    EXPECT_EQ(page.find(" src="), std::string::npos);
    EXPECT_EQ(page.find("://"), std::string::npos);
}

TEST(RouteData, SourceLinesAreCutAtEveryLineEndAndShownAsUtf8) {
    const std::vector<std::pair<std::string_view, std::vector<std::string>>> cases{
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"\r\n\r\nc", {"", "", "c"}},
        {"citt\xE0\r\n", {"citt\xC3\xA0"}},
    };
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(source_lines(text), lines) << text;
    }
}

// A plan bent as the line reader bends it: every step the previous one turned by k.
TEST(RouteData, TheCurvatureOfEachCellIsTheTurnOfThePlanAtItsFirstMetre) {
    compiler::PathPoints plan;
    plan.allocate(400);
    double x = 0, y = 0, dx = 0, dy = 1;
    const auto k_at = [](int m) { return m > 100 && m <= 220 ? -0.002 : m > 300 ? 0.001 : 0.0; };
    for (int m = 0; m <= 398; ++m) {
        if (m > 0) {
            const double k = k_at(m);
            const double nx = dx + k * dy, ny = dy - k * dx;
            dx = nx;
            dy = ny;
            x += dx;
            y += dy;
        }
        for (int a = 0; a < 2; ++a) {
            plan.axis[static_cast<std::size_t>(a)].tags[static_cast<std::size_t>(m)] =
                compiler::PlanTag::real;
        }
        plan.axis[0].values[static_cast<std::size_t>(m)] = x;
        plan.axis[1].values[static_cast<std::size_t>(m)] = y;
    }
    const auto turns = cell_curvature(plan, 9);
    const double expected[] = {0, 0, -0.002, -0.002, -0.002, 0, 0.001, 0.001, 0};
    for (std::size_t c = 0; c < 9; ++c) {
        EXPECT_NEAR(turns[c], expected[c], 1e-9) << "cell " << c;
    }
}

// Each object is written short (its values by its kind's names, given once; its place as an
// array), for the ten thousand of the longest line.
TEST(RouteData, AnObjectGivesItsValuesInTheOrderOfItsKindsNamesAndItsPlaceAsAnArray) {
    RouteData data;
    RouteObject o;
    o.type = "gradient";
    o.position = 5000;
    o.cells = {100, 120};
    o.cellRange = true;
    o.source = SourceSpan{0, 14, 1, 22};
    o.stored = {{"cells 100 to 120", {{"gradientCode", std::int64_t{110}}}}};
    o.values = {std::int64_t{5000}, std::int64_t{10}};
    data.annotations.objects = {o};
    RouteDiagnostic d;
    d.code = "16";
    d.source = SourceSpan{1, 19, 13, std::nullopt};
    data.annotations.diagnostics = {d};
    const auto json = route_data_json(data);
    for (const std::string_view part :
         {"\"gradient\":[\"position\",\"gradient\"]",
          "{\"type\":\"gradient\",\"position\":5000,\"cells\":[100,120],\"cellRange\":true,"
          "\"source\":[0,14,1,22],\"stored\":{\"cells 100 to 120\":{\"gradientCode\":110}},"
          "\"values\":[5000,10]}",
          "\"source\":[1,19,13],"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    }
}

}  // namespace
}  // namespace scenario::tool
