// The manual pages and the completion against the tool itself, command by command and option by
// option: every option a command's description declares is taken by its parser as declared and
// shows in its --help, in its section of the manual page and in its branch of the completion;
// every option its forms show is declared; every required option is asked for. A test fails
// when a table and the parser disagree.
#include <gtest/gtest.h>

#include <sstream>

#include "bash_completion.h"
#include "builder_description.h"
#include "cli/command_line.h"
#include "commands/check_command.h"
#include "help_page.h"
#include "roff.h"
#include "tool.h"

namespace scenario::docgen {
namespace {

using tool::CommandDescription;
using tool::OptionDescription;
using tool::Spelling;

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

bool has(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string page() {
    return tool_page({"scenario-tool", 1, "9.9"}, tool::tool_description(), tool::command_list(),
                     tool::command_descriptions(), {"scenario-builder(1)"});
}

std::string script() {
    return bash_completion("scenario-tool", tool::command_descriptions(), tool::help_topics());
}

// The part of `text` from `start` to the first `end` after it.
std::string_view part(std::string_view text, std::string_view start, std::string_view end) {
    const auto from = text.find(start);
    if (from == std::string_view::npos) {
        return {};
    }
    return text.substr(from, text.find(end, from + start.size()) - from);
}

// The words of the first "compgen ... -W '...'" from `from` on, with a blank before and after each.
std::string offered_words(std::string_view script, std::string_view from) {
    constexpr std::string_view kCompgen = " -W '";
    const auto start = script.find(kCompgen, script.find(from)) + kCompgen.size();
    return " " + std::string(script.substr(start, script.find('\'', start) - start)) + " ";
}

std::vector<std::string> choices(const OptionDescription& option) {
    if (option.choices == nullptr) {
        return {};
    }
    return {option.choices().begin(), option.choices().end()};
}

// The ways the forms may show the option: with its placeholder, or with its choices.
std::vector<std::string> shown_as(const OptionDescription& option) {
    const std::string name(option.name);
    if (option.spelling == Spelling::joined) {
        return {name + std::string(option.placeholder)};
    }
    if (option.is_flag()) {
        return {"--" + name + " ", "--" + name + "]"};
    }
    std::string listed;
    for (const auto& choice : choices(option)) {
        listed += (listed.empty() ? "" : "|") + choice;
    }
    std::vector<std::string> ways;
    for (const auto& value : {std::string(option.placeholder), listed}) {
        if (!value.empty()) {
            ways.push_back("--" + name + " " + value);
            ways.push_back("--" + name + "=" + value);
        }
    }
    return ways;
}

TEST(ToolPages, EveryDeclaredOptionIsParsedAndShownEverywhere) {
    const auto manual = page();
    const auto completion = script();
    ASSERT_FALSE(tool::command_descriptions().empty());
    for (const auto* command : tool::command_descriptions()) {
        const std::string name(command->name);
        const auto help = run({name, "--help"});
        EXPECT_EQ(help.out, tool::help_text(*command)) << name;
        EXPECT_EQ(run({"help", name}).out, help.out) << name;
        const auto section = part(manual, ".SS \"" + escape(name) + "\"\n", ".S");
        const auto branch = part(completion, "        " + name + ")\n", "\n            ;;\n");
        ASSERT_FALSE(section.empty()) << name;
        ASSERT_FALSE(branch.empty()) << name;
        const auto option_words = offered_words(branch, "if [[ $cur == -* ]]");
        EXPECT_TRUE(has(option_words, " --help ")) << name;
        for (const auto& option : command->options) {
            const std::string word = option.spelling == Spelling::joined
                                         ? std::string(option.name)
                                         : "--" + std::string(option.name);
            const auto what = name + " " + word;
            const std::string sample = option.choices ? choices(option).front() : "v";

            // The parser takes it as the description says, and so does the command.
            const std::vector<std::string> args = option.spelling == Spelling::joined
                                                      ? std::vector{word + sample}
                                                  : option.is_flag() ? std::vector{word}
                                                                     : std::vector{word, sample};
            const auto parsed = tool::parse_arguments(args, *command);
            EXPECT_TRUE(option.is_flag() ? parsed.flag(option.name)
                        : option.repeats ? parsed.all(option.name) == std::vector{sample}
                                         : parsed.value(option.name) == sample)
                << what;
            if (option.spelling != Spelling::joined) {
                const auto given = run({name, option.is_flag() ? word + "=x" : word});
                EXPECT_TRUE(has(given.err,
                                word + (option.is_flag() ? " takes no value" : " needs a value")))
                    << what << ": " << given.err;
            }

            // Its help shows it, with its value, in the forms and in the list of options.
            const auto ways = shown_as(option);
            EXPECT_TRUE(std::any_of(ways.begin(), ways.end(),
                                    [&](const auto& way) { return has(help.out, way); }))
                << what << "\n"
                << help.out;
            if (!option.help.empty()) {
                EXPECT_TRUE(has(help.out, "  " + tool::option_term(option) + "  ")) << what;
                EXPECT_TRUE(has(section, text_line(option.help))) << what;
            }

            // The manual page shows it; the completion offers it and what its value takes.
            EXPECT_TRUE(has(section, escape(word))) << what;
            const auto offered = word + (option.spelling == Spelling::equals ? "=" : "");
            EXPECT_TRUE(has(option_words, " " + offered + " ")) << what;
            if (!option.is_flag() && option.spelling != Spelling::joined) {
                EXPECT_TRUE(has(branch, " " + word + ")") || has(branch, " " + word + " |"))
                    << what << "\n"
                    << branch;
            }
            for (const auto& choice : choices(option)) {
                EXPECT_TRUE(has(branch, " " + choice + " ") || has(branch, "'" + choice + " ") ||
                            has(branch, " " + choice + "'"))
                    << what << " " << choice;
            }
        }
    }
}

// The forms name no option the description does not declare.
TEST(ToolPages, EveryOptionOfTheFormsIsDeclared) {
    for (const auto* command : tool::command_descriptions()) {
        for (const auto form : command->synopsis) {
            std::istringstream words{std::string(form)};
            for (std::string word; words >> word;) {
                word.erase(0, word.find_first_not_of('['));
                if (!word.starts_with('-')) {
                    continue;
                }
                word = word.substr(0, word.find_first_of("=]"));
                const bool declared = std::any_of(
                    command->options.begin(), command->options.end(), [&](const auto& option) {
                        return option.spelling == Spelling::joined
                                   ? word.starts_with(option.name)
                                   : word == "--" + std::string(option.name);
                    });
                EXPECT_TRUE(declared) << command->name << ": " << word;
            }
        }
    }
}

// Left out, a required option is asked for by name, when everything else required is given.
TEST(ToolPages, EveryRequiredOptionIsAskedFor) {
    for (const auto* command : tool::command_descriptions()) {
        for (const auto& missing : command->options) {
            if (!missing.required) {
                continue;
            }
            std::vector<std::string> args{std::string(command->name)};
            for (const auto& argument : command->arguments) {
                args.emplace_back(argument.name == "DIR" ? "nowhere" : "x");
            }
            for (const auto& option : command->options) {
                if (option.required && option.name != missing.name) {
                    args.insert(args.end(), {"--" + std::string(option.name), "v"});
                }
            }
            const auto given = run(args);
            EXPECT_EQ(given.status, 2) << command->name << " " << missing.name;
            EXPECT_TRUE(has(given.err, "missing --" + std::string(missing.name)))
                << command->name << " " << missing.name << ": " << given.err;
        }
    }
}

TEST(ToolPages, TheManualPageHasTheToolAndEveryCommand) {
    const auto text = page();
    EXPECT_TRUE(text.starts_with(".TH SCENARIO-TOOL 1 \"\" \"scenario\\-builder 9.9\" ")) << text;
    EXPECT_TRUE(has(text,
                    ".SH NAME\nscenario\\-tool \\- the authors' command line of "
                    "scenario\\-builder\n"));
    const auto synopsis_section = part(text, ".SH SYNOPSIS\n", ".SH DESCRIPTION");
    for (const auto* command : tool::command_descriptions()) {
        EXPECT_TRUE(has(synopsis_section, synopsis(tool::usage_lines(*command).front())))
            << command->name;
    }
    for (const auto& entry : tool::command_list()) {
        EXPECT_TRUE(has(text, ".TP\n" + synopsis(entry.term) + "\n" + text_line(entry.text)))
            << entry.term;
    }
    EXPECT_TRUE(has(text, ".PP\nexit status: 0 success"));
    EXPECT_TRUE(text.ends_with(".SH \"SEE ALSO\"\n.BR scenario\\-builder (1)\n"));
}

TEST(ToolPages, TheCompletionOffersTheCommandsAndTheWarningNames) {
    const auto text = script();
    const auto command_words = offered_words(text, "if ((cword == 1))");
    const auto help_words = offered_words(text, "        help)\n");
    for (const auto* command : tool::command_descriptions()) {
        EXPECT_TRUE(has(command_words, " " + std::string(command->name) + " "));
        EXPECT_TRUE(has(help_words, " " + std::string(command->name) + " "));
    }
    for (const auto* word : {" help ", " --help ", " --version "}) {
        EXPECT_TRUE(has(command_words, word)) << word;
    }
    EXPECT_TRUE(has(help_words, " format "));
    const auto names = offered_words(text, "-Wno-*)");
    ASSERT_FALSE(tool::warning_names().empty());
    for (const auto name : tool::warning_names()) {
        EXPECT_TRUE(has(names, " " + std::string(name) + " ")) << name;
    }
    EXPECT_TRUE(text.ends_with("complete -F _scenario_tool scenario-tool\n"));
}

TEST(BuilderPage, HasTheBuildersHelpAndWhereTheInstalledProgramIs) {
    const auto text = builder_page({"scenario-builder", 1, "9.9"}, builder_description(),
                                   "/usr/lib/scenario-builder/scenario-builder", {});
    for (const auto* part :
         {".SH NAME\nscenario\\-builder \\- writes the built\\-in scenario",
          ".SH SYNOPSIS\n.nf\n\\fBscenario\\-builder\\fR\n\\fBscenario\\-builder\\fR "
          "\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n.fi\n",
          ".TP\n\\fB\\-\\-version\\fR\nshow the name and version\n", "\\fB\\-\\-help\\fR\n",
          ".PP\nExit status: 0",
          ".SH FILES\n.TP\n.I \"/usr/lib/scenario\\-builder/scenario\\-builder\""}) {
        EXPECT_TRUE(has(text, part)) << part << "\n--- in ---\n" << text;
    }
}

}  // namespace
}  // namespace scenario::docgen
