#include "sources/content_table.h"

#include <gtest/gtest.h>

#include <array>

namespace scenario::sources {
namespace {

TEST(ContentTable, WritesEveryLineWithCrLfAndNeverTheEndMarker) {
    constexpr std::array<std::string_view, 3> lines{"[generale]", "", "[fine]"};
    const auto table = content_table(lines);
    EXPECT_EQ(table[3], kEndMarker);
    EXPECT_EQ(render(table), "[generale]\r\n\r\n[fine]\r\n");
}

TEST(ContentTable, StopsAtTheFirstEndMarker) {
    ContentTable table{};
    table[0] = "a";
    table[1] = kEndMarker;
    table[2] = "never";
    EXPECT_EQ(render(table), "a\r\n");
}

TEST(ContentTable, ATableWithoutEndMarkerIsWrittenWholeAndNoFurther) {
    ContentTable table{};
    table.fill("x");
    EXPECT_EQ(render(table).size(), kContentSlots * 3);
}

TEST(ContentTable, ATextTooLongForTheTableIsRefused) {
    const std::vector<std::string_view> lines(kContentSlots, "x");
    EXPECT_THROW(content_table(lines), std::length_error);
}

}  // namespace
}  // namespace scenario::sources
