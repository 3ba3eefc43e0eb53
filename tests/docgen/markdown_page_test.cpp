#include "markdown_page.h"

#include <gtest/gtest.h>

namespace scenario::docgen {
namespace {

struct Case {
    std::string_view markdown;
    std::string_view roff;  // must appear in the page as it stands
};

std::string page(std::string_view markdown) {
    return markdown_page({"scenario-text", 5, "9.9"}, markdown, {"scenario-tool(1)"});
}

TEST(MarkdownPage, SetsEachKindOfBlock) {
    for (const auto& [markdown, roff] : std::initializer_list<Case>{
             {"# The texts\n", ".SH NAME\nscenario\\-text \\- the texts\n"},
             {"# T\n\nIntro line\nand more.\n", ".SH DESCRIPTION\n.PP\nIntro line\nand more.\n"},
             {"## Fields and values\n", ".SH \"FIELDS AND VALUES\"\n"},
             {"## A\n### route length: `lunghezza`\n", ".SS \"route length: lunghezza\"\n"},
             {"## A\n- one\n  more\n- two\n", ".IP \\(bu 2\none\nmore\n.IP \\(bu 2\ntwo\n"},
             {"## A\n1. first\n2. second\n", ".IP 1. 4\nfirst\n.IP 2. 4\nsecond\n"},
             {"## A\n```\n.sim,  1\n  x\\y\n```\n",
              ".PP\n.RS 2\n.nf\n\\&.sim,  1\n  x\\ey\n.fi\n.RE\n"},
             {"## A\n> quoted\n", ".PP\nquoted\n"},
             {"## A\n| # | value | unit | meaning |\n|---|---|---|---|\n| 1 | length | m | the "
              "`route` |\n| 2 | sense |  | up |\n",
              ".TP\n1. \\fBlength\\fR\nunit: m\n.br\nthe \\fBroute\\fR\n"
              ".TP\n2. \\fBsense\\fR\nup\n"},
             {"## A\n| name | meaning |\n|---|---|\n| a \\| b | c |\n", ".TP\n\\fBa | b\\fR\nc\n"},
         }) {
        EXPECT_NE(page(markdown).find(roff), std::string::npos) << markdown << "\n--- gave ---\n"
                                                                << page(markdown);
    }
}

TEST(MarkdownPage, SetsInlineMarksInFonts) {
    for (const auto& [markdown, roff] : std::initializer_list<Case>{
             {"`code` and **strong** and *em*", "\\fBcode\\fR and \\fBstrong\\fR and \\fIem\\fR"},
             {"**bold with `code` in it**", "\\fBbold with \\fBcode\\fB in it\\fR"},
             {"`` a`b ``", "\\fBa`b\\fR"},
             {"a [link](other.md) here", "a link here"},
             {"\\*not em\\* and 5 * 3", "*not em* and 5 * 3"},
             {"an unclosed `tick", "an unclosed `tick"},
             {"`--no-plan`", "\\fB\\-\\-no\\-plan\\fR"},
         }) {
        EXPECT_EQ(inline_markdown(markdown), roff) << markdown;
    }
}

TEST(MarkdownPage, HeadsThePageAndEndsWithSeeAlso) {
    const auto text = page("# T\n\nx\n");
    EXPECT_TRUE(text.starts_with(".TH SCENARIO-TEXT 5 \"\" \"scenario\\-builder 9.9\"")) << text;
    EXPECT_TRUE(text.ends_with(".SH \"SEE ALSO\"\n.BR scenario\\-tool (1)\n")) << text;
}

TEST(MarkdownPage, NoLineOfTextStartsLikeARequest) {
    const auto text = page("# T\n\n.dat files\n\n- 'quoted'\n\n| a | b |\n|-|-|\n| .x | .y |\n");
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        const std::string_view line(text.data() + start, end - start);
        if (line.starts_with('.') || line.starts_with('\'')) {
            const auto request = line.substr(1, line.find(' ') - 1);
            EXPECT_TRUE(request == "TH" || request == "SH" || request == "SS" || request == "PP" ||
                        request == "IP" || request == "TP" || request == "BR" || request == "br" ||
                        request == "RS" || request == "RE" || request == "nf" || request == "fi" ||
                        request == "ad" || request == "nh" || request == "B")
                << line;
        }
        start = end + 1;
    }
}

}  // namespace
}  // namespace scenario::docgen
