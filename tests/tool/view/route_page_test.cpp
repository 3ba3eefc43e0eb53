#include "view/route_page.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "compiler/model/path_points.h"
#include "view/route_annotations.h"
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

TEST(RouteAnnotations, ARecordSpansFromItsFirstCharacterToJustPastItsLast) {
    const auto span = record_span(1, 7, "   segnale,  1850, 1  ");
    EXPECT_EQ(span.file, 1);
    EXPECT_EQ(span.line, 7);
    EXPECT_EQ(span.column, 4);
    EXPECT_EQ(span.endColumn, 21);
}

}  // namespace
}  // namespace scenario::tool
