#include "documents/document_forms.h"

#include <gtest/gtest.h>

#include <optional>

namespace scenario::tool {
namespace {

TEST(DocumentForms, ClockShowsWholeAndHalfMinutesOfOneDay) {
    const std::vector<std::pair<std::int64_t, std::optional<std::string>>> cases{
        {0, "0.00"},
        {6 * 3600 + 37 * 60, "6.37"},
        {7 * 3600 + 16 * 60 + 30, "7.16+"},
        {8 * 3600 + 4 * 60, "8.04"},
        {86400 - 30, "23.59+"},
        {86400, std::nullopt},
        {-30, std::nullopt},
        {6 * 3600 + 15, std::nullopt},
        {6 * 3600 + 59, std::nullopt},
    };
    for (const auto& [seconds, form] : cases) {
        EXPECT_EQ(clock_form(seconds), form) << seconds;
    }
}

TEST(DocumentForms, KilometreHasThreeDigitsOfMetres) {
    const std::vector<std::pair<std::int64_t, std::string>> cases{
        {0, "0+000"}, {2800, "2+800"}, {9150, "9+150"}, {97600, "97+600"}, {123045, "123+045"}};
    for (const auto& [metres, form] : cases) {
        EXPECT_EQ(kilometre_form(metres), form) << metres;
    }
}

TEST(DocumentForms, RunningSpeedIsATenthBelowTheLimitToFiveKilometres) {
    // The built-in card's 55, 65 and 80 under 60, 70 and 90; a tenth of 75 and 125 is a tie.
    const std::vector<std::pair<std::int32_t, std::int32_t>> cases{
        {60, 55}, {70, 65}, {90, 80}, {80, 70}, {100, 90}, {75, 65}, {125, 115}, {20, 20}};
    for (const auto& [limit, running] : cases) {
        EXPECT_EQ(running_speed(limit), running) << limit;
    }
}

TEST(DocumentForms, NamesArePrintedWithoutTheBlanksAroundADash) {
    EXPECT_EQ(printed_name("CASTELVECCHIO - TERME"), "CASTELVECCHIO-TERME");
    EXPECT_EQ(printed_name("A - B - C  "), "A-B-C");
    EXPECT_EQ(printed_name("CA' DEI BOSCHI"), "CA' DEI BOSCHI");
}

TEST(DocumentForms, MixedCaseKeepsTheJoiningWordsSmall) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"ROCCA ALTA", "Rocca Alta"},
        {"S. MARTINO IN VALLE", "S. Martino in Valle"},
        {"CA' DEI BOSCHI", "Ca' dei Boschi"},
        {"VALSO DI SOTTO", "Valso di Sotto"},
        {"CASTELVECCHIO-TERME", "Castelvecchio-Terme"},
        {"SANT'ANNA", "Sant'Anna"},
        {"DI QUA", "Di Qua"},
        {"\xC8ZE", "\xC8ze"},  // an accented capital of Windows-1252
    };
    for (const auto& [name, mixed] : cases) {
        EXPECT_EQ(mixed_case(name), mixed) << name;
    }
}

TEST(DocumentForms, CellsPadOrRefuse) {
    EXPECT_EQ(in_cell("ab", 4), "ab  ");
    EXPECT_EQ(in_cell("abcde", 4), std::nullopt);
    EXPECT_EQ(centred("V140 B", 14), "    V140 B    ");
    EXPECT_EQ(centred("100%", 14), "     100%     ");
    EXPECT_EQ(centred("100%", 3), std::nullopt);
    EXPECT_EQ(document_bytes({"a", "", "b "}), "a\r\n\r\nb \r\n");
}

}  // namespace
}  // namespace scenario::tool
