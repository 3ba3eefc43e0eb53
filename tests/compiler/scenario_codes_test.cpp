#include "compiler/scenario_codes.h"

#include <gtest/gtest.h>

namespace scenario::compiler {
namespace {

BuildState named(std::string train, std::string title) {
    BuildState state;
    state.locations[entry::repetition].name = std::move(train);
    state.locations[entry::scenery].name = std::move(title);
    return state;
}

TEST(ScenarioCodes, ShortStringIsPaddedFromTheStartOfThePadding) {
    const auto state = named("ab", "c");
    EXPECT_EQ(code_string(state), "abcaabbccddeeffgghhiillmm");
    EXPECT_EQ(codice_gara_og(state), 2546);
    EXPECT_EQ(codice_gara_st(state), 33756);
}

TEST(ScenarioCodes, CaseDoesNotChangeTheCodes) {
    const auto upper = named("R10537", "MORENA LAGO - PIAN DI VALSO");
    const auto lower = named("r10537", "morena lago - pian di valso");
    EXPECT_EQ(codice_gara_og(upper), codice_gara_og(lower));
    EXPECT_EQ(codice_gara_st(upper), codice_gara_st(lower));
}

TEST(ScenarioCodes, OnlyTheFirst25CharactersCount) {
    // 6 + 19 characters are used: the rest of the title does not matter.
    const auto a = named("R10537", "MORENA LAGO - PIAN DI VALSO");
    const auto b = named("R10537", "MORENA LAGO - PIAN DXXXXXXXX");
    EXPECT_EQ(code_string(a), "r10537morena lago - pian ");
    EXPECT_EQ(codice_gara_st(a), codice_gara_st(b));
    EXPECT_EQ(codice_gara_og(a), codice_gara_og(b));
}

TEST(ScenarioCodes, AccentedCapitalsFoldToTheirSmallLetters) {
    EXPECT_EQ(code_string(named("\xC8", "")).front(), '\xE8');
    EXPECT_EQ(codice_gara_og(named("\xC0", "")), codice_gara_og(named("\xE0", "")));
}

TEST(ScenarioCodes, HighestBytesStayWithinTheirFields) {
    const auto state = named(std::string(25, '\xFF'), "");
    EXPECT_EQ(codice_gara_og(state), 6375);
    EXPECT_EQ(codice_gara_st(state), 82875);
}

}  // namespace
}  // namespace scenario::compiler
