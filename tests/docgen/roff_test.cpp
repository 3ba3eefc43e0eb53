#include "roff.h"

#include <gtest/gtest.h>

namespace scenario::docgen {
namespace {

struct Case {
    std::string_view input;
    std::string_view expected;
};

TEST(Roff, TextLinesKeepEveryCharacterAsTyped) {
    for (const auto& [input, expected] : std::initializer_list<Case>{
             {"plain words", "plain words"},
             {"--no-plan", "\\-\\-no\\-plan"},
             {"C:\\scenarios", "C:\\escenarios"},
             {".sim files", "\\&.sim files"},
             {"'quoted' start", "\\&'quoted' start"},
             {"a .dat in the middle", "a .dat in the middle"},
             {"tab\there", "tab here"},
             {"C\xC3\x80 and \xE2\x80\x94", "C\\[u00C0] and \\[u2014]"},  // UTF-8
             {"\xC0 alone", "\\[u00C0] alone"},                           // a stray byte
             {"\xC0\x80", "\\[u00C0]\\[u0080]"},  // an overlong form is two stray bytes
         }) {
        EXPECT_EQ(text_line(input), expected) << input;
    }
}

TEST(Roff, QuotedArgumentsEscapeTheirQuotes) {
    EXPECT_EQ(quoted_argument("SEE \"ALSO\"-x"), "\"SEE \\(dqALSO\\(dq\\-x\"");
}

TEST(Roff, SynopsisSetsNamesBoldAndValuesItalic) {
    for (const auto& [input, expected] : std::initializer_list<Case>{
             {"scenario-tool dump FILE", "\\fBscenario\\-tool\\fR \\fBdump\\fR \\fIFILE\\fR"},
             {"[--cells A..B]", "[\\fB\\-\\-cells\\fR \\fIA\\fR..\\fIB\\fR]"},
             {"--out FILE.svg", "\\fB\\-\\-out\\fR \\fIFILE\\fB.svg\\fR"},
             {"explain N|NAME", "\\fBexplain\\fR \\fIN\\fR|\\fINAME\\fR"},
             {"[-Wno-NAME ...]", "[\\fB\\-Wno\\-\\fINAME\\fR ...]"},
             {"--color=auto|never", "\\fB\\-\\-color=auto\\fR|\\fBnever\\fR"},
             {"  --out DIR", "  \\fB\\-\\-out\\fR \\fIDIR\\fR"},
         }) {
        EXPECT_EQ(synopsis(input), expected) << input;
    }
}

}  // namespace
}  // namespace scenario::docgen
