#include "inspect/dump_render.h"

#include <gtest/gtest.h>

#include "tool/synthetic_scenario.h"

namespace scenario::tool {
namespace {

DecodedFile decoded(CompactKind kind) {
    const auto state = testing::synthetic_state();
    DecodedFile file;
    file.kind = kind;
    file.locations.assign(state.locations.begin(), state.locations.end());
    file.cells = state.cells;
    file.plan = state.plan;
    return file;
}

TEST(Dump, ParsesCellRanges) {
    using Range = std::optional<std::pair<std::int64_t, std::int64_t>>;
    EXPECT_EQ(parse_cell_range("30..40"), (Range{{30, 40}}));
    EXPECT_EQ(parse_cell_range("7"), (Range{{7, 7}}));
    for (const auto* bad : {"", "..", "40..30", "-1..3", "a..b", "1..2..3", "3.."}) {
        EXPECT_EQ(parse_cell_range(bad), std::nullopt) << bad;
    }
}

TEST(Dump, ShowsOnlyTheNonZeroFieldsOfTheCellsInTheRange) {
    DumpOptions options;
    options.first_cell = 38;
    options.last_cell = 39;
    const auto text = render_dump(decoded(CompactKind::cells), 8115, options);
    EXPECT_NE(text.find("cell file, 541 cells, 8115 bytes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("cell 38 at 1900 m: kind=1 ref=40 ref4=3 speedStep=12 gradientCode=100 "
                        "adhesion=100 (signal)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("cell 39 at 1950 m: speedStep=12 gradientCode=100 adhesion=100\n"),
              std::string::npos);
    EXPECT_EQ(text.find("cell 40"), std::string::npos);
    EXPECT_EQ(text.find("ref2="), std::string::npos);
}

TEST(Dump, ListsEveryEntryOfTheScenarioTableWithItsRole) {
    const auto text = render_dump(decoded(CompactKind::scenario), 3031, {});
    EXPECT_NE(text.find("entry 0: cleared\n"), std::string::npos);
    // Fields that mean something in the entry's role go by that meaning, the raw name beside.
    EXPECT_NE(text.find("entry 2 (station):  station kind=11 [kind]  zone start=6350 m "
                        "[zoneStart]  zone end=6650 m [zoneEnd]  position=6500 m [position]  "
                        "fourth value=0 [param4]  name=\"SAN PIETRO D'ORO\""),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("entry 80 (sign board):  kind=0"), std::string::npos);
    EXPECT_NE(text.find("  route length=20000 m [zoneEnd]"), std::string::npos) << text;
    EXPECT_NE(text.find("  clock hours="), std::string::npos) << text;
    EXPECT_NE(text.find("entry 85 (scenery, line title, format marker, weighted code):"),
              std::string::npos);
}

TEST(Dump, ControlBytesInANameAreEscapedInTextAndInJson) {
    auto file = decoded(CompactKind::scenario);
    file.locations[2].name = "SAN\x1b]0;owned\x07 PIETRO \xC0";
    const auto text = render_dump(file, 3031, {});
    EXPECT_NE(text.find("name=\"SAN\\x1b]0;owned\\x07 PIETRO \xC3\x80\""), std::string::npos)
        << text;
    DumpOptions json;
    json.json = true;
    const auto object = render_dump(file, 3031, json);
    EXPECT_NE(object.find(R"("name":"SAN\u001b]0;owned\u0007 PIETRO )"), std::string::npos);
    for (const auto& shown : {text, object}) {
        EXPECT_EQ(shown.find_first_of(std::string("\x1b\x07", 2)), std::string::npos);
    }
}

TEST(Dump, SummarisesThePlanWithSamples) {
    DumpOptions options;
    options.every = 10000;
    const auto text = render_dump(decoded(CompactKind::plan), 539964, options);
    EXPECT_NE(text.find("metres 0..27000, points per axis 27001\n"), std::string::npos) << text;
    EXPECT_NE(text.find("coordinates: 53994 doubles, 4 integers, 4 empty\n"), std::string::npos);
    EXPECT_NE(text.find("metre 0: x=0.000 y=0.000\n"), std::string::npos);
    EXPECT_NE(text.find("metre 20000:"), std::string::npos);
    EXPECT_NE(text.find("metre 27000: x=- y=-\n"), std::string::npos);
    EXPECT_NE(text.find("last point set: metre 26998\n"), std::string::npos);
}

TEST(Dump, PrintsCoordinatesOfAnySizeInFull) {
    auto file = decoded(CompactKind::plan);
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1e35, "99999999999999996863366107917975552.000"},
        {-1e35, "-99999999999999996863366107917975552.000"},
        {1e308, nullptr},  // 309 digits before the point
    };
    for (const auto& c : cases) {
        file.plan.axis[0].values[0] = c.value;
        DumpOptions options;
        options.every = 100000;
        const auto text = render_dump(file, 539964, options);
        const auto from = text.find("metre 0: x=");
        ASSERT_NE(from, std::string::npos) << text;
        const auto x = text.substr(from + 11, text.find(' ', from + 11) - from - 11);
        if (c.text != nullptr) {
            EXPECT_EQ(x, c.text);
        } else {
            EXPECT_EQ(x.size(), 309u + 4u) << x;
        }
        const auto box = text.substr(text.find("bounding box:"));
        EXPECT_NE(box.substr(0, box.find('\n')).find(" " + x + " "), std::string::npos) << box;
    }
}

TEST(Dump, JsonOfThePlanCountsEveryKindOfPoint) {
    DumpOptions options;
    options.json = true;
    options.every = 30000;
    const auto json = render_dump(decoded(CompactKind::plan), 539964, options);
    EXPECT_NE(json.find(R"("lastMetre":27000,"doubles":53994,"integers":4,"empty":4,)"),
              std::string::npos)
        << json;
}

TEST(Dump, JsonOfCellsNamesTheKind) {
    DumpOptions options;
    options.first_cell = 38;
    options.last_cell = 38;
    options.json = true;
    const auto json = render_dump(decoded(CompactKind::cells), 8115, options);
    EXPECT_NE(json.find(R"("cells":[{"index":38,"position":1900,"kind":1,"ref":40,"ref4":3,)"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("kindName":"signal")"), std::string::npos);
}

}  // namespace
}  // namespace scenario::tool
