#include "cli/help_text.h"

#include <gtest/gtest.h>

namespace scenario::tool {
namespace {

TEST(HelpText, NamesEachOptionAsItIsWritten) {
    struct Case {
        OptionDescription option;
        std::string_view term;
    };
    for (const auto& [option, term] : std::initializer_list<Case>{
             {{.name = "json"}, "--json"},
             {{.name = "out", .placeholder = "DIR"}, "--out DIR"},
             {{.name = "color", .placeholder = "WHEN", .spelling = Spelling::equals},
              "--color=WHEN"},
             {{.name = "-Wno-", .placeholder = "NAME", .spelling = Spelling::joined}, "-Wno-NAME"},
         }) {
        EXPECT_EQ(option_term(option), term);
    }
}

// A form goes on under the command's name when the next option, with its value, or bracketed
// group would pass the 79th column; a group is never split.
TEST(HelpText, BreaksFormsBeforeWhatWouldPassTheLastColumn) {
    static constexpr std::string_view kForms[] = {
        "--line FILE --train FILE --title TITLE --code CODE --out DIR [--no-plan] [--json]",
        "--line FILE --train FILE --title TITLE [--a B --c D] [-Wno-NAME ...]",
        "N|NAME",
    };
    static constexpr CommandDescription kCommand{.name = "documents", .synopsis = kForms};
    EXPECT_EQ(usage_lines(kCommand),
              (std::vector<std::string>{
                  "scenario-tool documents --line FILE --train FILE --title TITLE",
                  "                       --code CODE --out DIR [--no-plan] [--json]",
                  "scenario-tool documents --line FILE --train FILE --title TITLE",
                  "                       [--a B --c D] [-Wno-NAME ...]",
                  "scenario-tool documents N|NAME",
              }));
    static constexpr std::string_view kBare[] = {"", "--help | --version"};
    static constexpr CommandDescription kProgram{.synopsis = kBare, .program = "prog"};
    EXPECT_EQ(usage_lines(kProgram), (std::vector<std::string>{"prog", "prog --help | --version"}));
}

TEST(HelpText, SetsParagraphsListsAndOptionsInOrder) {
    static constexpr std::string_view kForms[] = {"DIR [--json] [--out FILE]"};
    static constexpr OptionDescription kOptions[] = {
        {.name = "json", .help = "as JSON"},
        {.name = "line", .placeholder = "FILE"},  // told in the prose: not listed
        {.name = "out", .placeholder = "FILE", .help = "where"},
    };
    static constexpr ListItem kItems[] = {{"one", "the first,\ngoing on"}, {"three", "the third"}};
    static constexpr Paragraph kParagraphs[] = {
        {.text = "Does it:"},
        {.kind = ParagraphKind::list, .items = kItems, .follows = true},
        {.text = "Then\nmore.", .follows = true},
        {.kind = ParagraphKind::options},
        {.kind = ParagraphKind::exit_status, .text = "0 fine", .follows = true},
        {.kind = ParagraphKind::command_list},
    };
    static constexpr CommandDescription kCommand{
        .name = "do", .synopsis = kForms, .options = kOptions, .paragraphs = kParagraphs};
    const ListEntry commands[] = {{"do DIR", "does it"}, {"help", "helps"}};
    EXPECT_EQ(help_text(kCommand, commands),
              "usage: scenario-tool do DIR [--json] [--out FILE]\n"
              "\n"
              "Does it:\n"
              "  one    the first,\n"
              "         going on\n"
              "  three  the third\n"
              "Then\n"
              "more.\n"
              "\n"
              "  --json      as JSON\n"
              "  --out FILE  where\n"
              "exit status: 0 fine\n"
              "\n"
              "  do DIR  does it\n"
              "  help    helps\n");
}

}  // namespace
}  // namespace scenario::tool
