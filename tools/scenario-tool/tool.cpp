#include "tool.h"

#include <exception>
#include <string_view>

#include "cli/exit_status.h"
#include "commands/check_command.h"
#include "commands/compile_command.h"
#include "commands/documents_command.h"
#include "commands/dump_command.h"
#include "commands/explain_command.h"
#include "commands/help_format_command.h"
#include "commands/lsp_command.h"
#include "commands/plot_command.h"
#include "commands/run_command.h"
#include "commands/sources_command.h"
#include "commands/view_command.h"
#include "io/text_encoding.h"

#ifndef SCENARIO_VERSION
#define SCENARIO_VERSION "unknown"
#endif

namespace scenario::tool {

namespace {

using Command = int (*)(std::span<const std::string>, std::ostream&, std::ostream&);

struct CommandEntry {
    const CommandDescription& (*description)();
    Command run;
};

// One command to a line, so that commands added side by side merge cleanly.
// clang-format off
constexpr CommandEntry kCommands[] = {
    {sources_description, sources_command},
    {check_description, check_command},
    {compile_description, compile_command},
    {dump_description, dump_command},
    {plot_description, plot_command},
    {view_description, view_command},
    {explain_description, explain_command},
    {documents_description, documents_command},
    {run_description, run_command},
    {lsp_description, lsp_command},
};
// clang-format on

// What `help TOPIC` shows besides the help of a command.
struct HelpTopic {
    std::string_view name;
    std::string_view summary;
    Command run;
};
constexpr HelpTopic kHelpTopics[] = {
    {"format", "the format of the line and train texts (--markdown)", help_format_command},
};

constexpr std::string_view kSynopsis[] = {"COMMAND [ARGUMENTS]"};
constexpr Paragraph kParagraphs[] = {
    {.text = "The authors' command line of scenario-builder: start from the built-in scenario,\n"
             "compile your own line and train texts, look into the compact files, draw the line,\n"
             "make the train card and the slowdown order."},
    {.text = "commands:"},
    {.kind = ParagraphKind::command_list, .follows = true},
    {.text = "options: --help on every command, --version"},
    {.kind = ParagraphKind::exit_status,
     .text = "0 success, 1 the texts have a fault, 2 wrong usage or unusable files",
     .follows = true},
};
constexpr CommandDescription kToolDescription{
    .summary = "the authors' command line of scenario-builder",
    .synopsis = kSynopsis,
    .paragraphs = kParagraphs,
};

std::string tool_help() {
    return help_text(kToolDescription, command_list());
}

const CommandEntry* find_command(std::string_view name) {
    for (const auto& command : kCommands) {
        if (command.description().name == name) {
            return &command;
        }
    }
    return nullptr;
}

int usage_failure(std::ostream& err, const std::string& what, std::string_view command) {
    err << "scenario-tool: " << escape_controls(what) << '\n';
    err << "see 'scenario-tool " << (command.empty() ? "" : std::string(command) + " ")
        << "--help'\n";
    return kExitUsage;
}

int help_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        out << tool_help();
        return kExitClean;
    }
    for (const auto& topic : kHelpTopics) {
        if (args[0] == topic.name) {
            return topic.run(args.subspan(1), out, err);
        }
    }
    const auto* command = args.size() == 1 ? find_command(args[0]) : nullptr;
    if (command == nullptr) {
        return usage_failure(err, "no help for '" + args[0] + "'", "");
    }
    out << help_text(command->description());
    return kExitClean;
}

}  // namespace

int run_tool(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << tool_help();
        return kExitUsage;
    }
    const std::string_view word = args[0];
    if (word == "--help" || word == "-h") {
        out << tool_help();
        return kExitClean;
    }
    if (word == "--version") {
        out << "scenario-tool " << SCENARIO_VERSION << '\n';
        return kExitClean;
    }
    const auto rest = args.subspan(1);
    if (word == "help") {
        return help_command(rest, out, err);
    }
    const auto* command = find_command(word);
    if (command == nullptr) {
        return usage_failure(err, "unknown command '" + std::string(word) + "'", "");
    }
    try {
        return command->run(rest, out, err);
    } catch (const UsageError& failure) {
        return usage_failure(err, failure.what(), command->description().name);
    } catch (const EnvironmentError& failure) {
        err << "scenario-tool " << command->description().name << ": "
            << escape_controls(failure.what()) << '\n';
        return kExitUsage;
    }
}

const CommandDescription& tool_description() {
    return kToolDescription;
}

std::vector<const CommandDescription*> command_descriptions() {
    std::vector<const CommandDescription*> descriptions;
    for (const auto& command : kCommands) {
        descriptions.push_back(&command.description());
    }
    return descriptions;
}

std::vector<ListEntry> command_list() {
    std::vector<ListEntry> entries;
    for (const auto* command : command_descriptions()) {
        entries.push_back(
            {std::string(command->name) + " " + std::string(command->listed_arguments),
             command->summary});
    }
    entries.push_back({"help [COMMAND]", "show this text, or the help of a command"});
    for (const auto& topic : kHelpTopics) {
        entries.push_back({"help " + std::string(topic.name), topic.summary});
    }
    return entries;
}

std::vector<std::string_view> help_topics() {
    std::vector<std::string_view> topics;
    for (const auto& topic : kHelpTopics) {
        topics.push_back(topic.name);
    }
    return topics;
}

}  // namespace scenario::tool
