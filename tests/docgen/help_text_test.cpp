#include "help_text.h"

#include <gtest/gtest.h>

#include "tool.h"

namespace scenario::docgen {
namespace {

constexpr std::string_view kHelp =
    "usage: prog run --in FILE --out DIR\n"
    "                [--json]\n"
    "       prog run --list\n"
    "\n"
    "Runs the thing: reads FILE\n"
    "and writes DIR.\n"
    "  --in FILE    the input,\n"
    "               read only\n"
    "  --json       JSON\n"
    "  --bare\n"
    "After the list.\n"
    "exit status: 0 fine\n";

TEST(HelpText, JoinsTheLinesOfAFormAndStartsAFormAtTheProgramName) {
    const auto help = parse_help(kHelp);
    EXPECT_EQ(help.forms, (std::vector<std::string>{"prog run --in FILE --out DIR [--json]",
                                                    "prog run --list"}));
    EXPECT_EQ(help.form_lines, (std::vector<std::string>{"prog run --in FILE --out DIR",
                                                         "         [--json]", "prog run --list"}));
}

TEST(HelpText, CutsParagraphsListsAndLabelledLines) {
    const auto help = parse_help(kHelp);
    ASSERT_EQ(help.blocks.size(), 4u);
    EXPECT_EQ(help.blocks[0].lines,
              (std::vector<std::string>{"Runs the thing: reads FILE", "and writes DIR."}));
    ASSERT_EQ(help.blocks[1].items.size(), 3u);
    EXPECT_EQ(help.blocks[1].items[0].term, "--in FILE");
    EXPECT_EQ(help.blocks[1].items[0].text, "the input, read only");
    EXPECT_EQ(help.blocks[1].items[1].term, "--json");
    EXPECT_EQ(help.blocks[1].items[2].term, "--bare");
    EXPECT_EQ(help.blocks[1].items[2].text, "");
    EXPECT_EQ(help.blocks[2].lines, std::vector<std::string>{"After the list."});
    EXPECT_EQ(help.blocks[3].lines, std::vector<std::string>{"exit status: 0 fine"});
}

TEST(HelpText, SummarySetsTheFirstSentenceInSmallLetters) {
    EXPECT_EQ(summary(parse_help(kHelp)), "runs the thing");
}

TEST(HelpText, RefusesATextWithoutUsage) {
    EXPECT_THROW(parse_help("Runs.\n"), std::invalid_argument);
}

TEST(HelpText, EveryCommandOfTheToolHelpsWithItsOwnForms) {
    for (const auto& command : tool::command_helps()) {
        const auto help = parse_help(command.help);
        for (const auto& form : help.forms) {
            EXPECT_TRUE(form.starts_with("scenario-tool " + std::string(command.name)))
                << command.name << ": " << form;
        }
        EXPECT_FALSE(help.blocks.empty()) << command.name;
    }
}

}  // namespace
}  // namespace scenario::docgen
