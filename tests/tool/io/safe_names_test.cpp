#include "io/safe_names.h"

#include <gtest/gtest.h>

#include <string>

#include "sources/scenario_names.h"

namespace scenario::tool {
namespace {

TEST(SafeNames, AcceptsTheBuiltInNamesAndOrdinaryTitles) {
    EXPECT_EQ(unsafe_names_reason(sources::kLineTitle, sources::kTrainCode), std::nullopt);
    EXPECT_EQ(unsafe_names_reason("SAN MARCO - VAL D'ELSA", "R2"), std::nullopt);
    EXPECT_EQ(unsafe_names_reason("CITT\xC0 ALTA", "X1"), std::nullopt);  // À in Windows-1252
}

TEST(SafeNames, RefusesTitlesThatWouldLeaveTheDirectoryOrBreakAFileName) {
    const std::vector<std::string> unsafe{
        "",        "a/b",  "a\\b", "..",  "a..b", "../x", "tab\there", std::string("nul\0x", 5),
        "del\x7F", "a:b",  "a*b",  "a?b", "a|b",  "a\"b", "a<b",       "a>b",
        "end.",    "end ",
    };
    for (const auto& title : unsafe) {
        EXPECT_NE(unsafe_names_reason(title, "R1"), std::nullopt) << title;
        EXPECT_NE(unsafe_names_reason("LINE", title), std::nullopt) << title;
    }
}

TEST(SafeNames, RefusesNamesLongerThanAFileNameCanBe) {
    EXPECT_EQ(unsafe_names_reason(std::string(200, 'A'), "R1"), std::nullopt);
    EXPECT_NE(unsafe_names_reason(std::string(240, 'A'), "R1"), std::nullopt);
}

}  // namespace
}  // namespace scenario::tool
