// The manual pages and the completion against the tool itself: every command of its table is
// in them, and every option they offer is one the command's parser takes, in the same way
// (with a value or without).
#include <gtest/gtest.h>

#include <sstream>

#include "bash_completion.h"
#include "cli/usage_text.h"
#include "driver/usage_text.h"
#include "help_page.h"
#include "roff.h"
#include "tool.h"

namespace scenario::docgen {
namespace {

std::vector<CommandPage> commands() {
    std::vector<CommandPage> pages;
    for (const auto& command : tool::command_helps()) {
        pages.push_back({command.name, command.help});
    }
    return pages;
}

struct Run {
    int status;
    std::string out;
    std::string err;
};

Run run(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = tool::run_tool(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(ToolPages, TheTableHelpsAsTheToolDoes) {
    ASSERT_FALSE(tool::command_helps().empty());
    for (const auto& command : tool::command_helps()) {
        const auto shown = run({"help", std::string(command.name)});
        EXPECT_EQ(shown.status, 0) << command.name;
        EXPECT_EQ(shown.out, command.help) << command.name;
    }
}

TEST(ToolPages, EveryOptionOfTheUsageIsTakenByTheCommandAsItSays) {
    for (const auto& command : tool::command_helps()) {
        const std::string name(command.name);
        for (const auto& option : command_completion(name, command.help).options) {
            if (!option.name.starts_with("--")) {
                continue;  // -Wno-NAME: the value is part of the word
            }
            if (option.joint == UsageOption::flag) {
                const auto given = run({name, option.name + "=x"});
                EXPECT_NE(given.err.find(option.name + " takes no value"), std::string::npos)
                    << name << " " << option.name << ": " << given.err;
            } else {
                const auto given = run({name, option.name});
                EXPECT_NE(given.err.find(option.name + " needs a value"), std::string::npos)
                    << name << " " << option.name << ": " << given.err;
            }
        }
    }
}

TEST(ToolPages, TheManualPageHasEveryCommand) {
    const auto page = tool_page({"scenario-tool", 1, "9.9"}, tool::tool_help(), commands(),
                                {"scenario-builder(1)"});
    EXPECT_TRUE(page.starts_with(".TH SCENARIO-TOOL 1 \"\" \"scenario\\-builder 9.9\"")) << page;
    for (const auto& command : tool::command_helps()) {
        EXPECT_NE(page.find(".SS \"" + escape(command.name) + "\"\n"), std::string::npos)
            << command.name;
        EXPECT_NE(page.find(synopsis(parse_help(command.help).form_lines.front())),
                  std::string::npos)
            << command.name;
    }
    EXPECT_NE(page.find(".BR scenario\\-builder (1)"), std::string::npos);
}

// The words of the first "compgen -W '...'" from `from` on, with a blank before and after each.
std::string offered_words(const std::string& script, std::size_t from) {
    constexpr std::string_view kCompgen = "compgen -W '";
    const auto start = script.find(kCompgen, from) + kCompgen.size();
    return " " + script.substr(start, script.find('\'', start) - start) + " ";
}

TEST(ToolPages, TheCompletionOffersEveryCommandAndItsOptions) {
    const auto script = bash_completion("scenario-tool", tool::tool_help(), commands());
    const auto command_words = offered_words(script, 0);
    for (const auto& command : tool::command_helps()) {
        const std::string name(command.name);
        EXPECT_NE(command_words.find(" " + name + " "), std::string::npos) << name;
        const auto branch = script.find("        " + name + ")\n");
        ASSERT_NE(branch, std::string::npos) << name;
        // The options come after the values of those that take one.
        const auto options = offered_words(script, script.find("if [[ $cur == -* ]]", branch));
        for (const auto& option : command_completion(name, command.help).options) {
            const auto word = option.name + (option.joint == UsageOption::equals ? "=" : "");
            EXPECT_NE(options.find(" " + word + " "), std::string::npos) << name << " " << word;
        }
        EXPECT_NE(options.find(" --help "), std::string::npos) << name;
    }
    EXPECT_TRUE(script.ends_with("complete -F _scenario_tool scenario-tool\n"));
}

TEST(ToolPages, HelpTopicsComeFromTheToolsOwnList) {
    EXPECT_EQ(help_topics("usage: t COMMAND\n\ncommands:\n  dump FILE   d\n  help [COMMAND]   h\n"
                          "  help format   the format\n"),
              std::vector<std::string>{"format"});
}

TEST(BuilderPage, HasTheBuildersHelpAndWhereTheInstalledProgramIs) {
    const auto page = builder_page({"scenario-builder", 1, "9.9"}, driver::kUsage,
                                   "/usr/lib/scenario-builder/scenario-builder", {});
    for (const auto* part :
         {".SH NAME\nscenario\\-builder \\- writes the built\\-in scenario",
          "\\fB\\-\\-version\\fR\n", "\\fB\\-\\-help\\fR\n", "Exit status: 0",
          ".SH FILES\n.TP\n.I \"/usr/lib/scenario\\-builder/scenario\\-builder\""}) {
        EXPECT_NE(page.find(part), std::string::npos) << part << "\n--- in ---\n" << page;
    }
}

}  // namespace
}  // namespace scenario::docgen
