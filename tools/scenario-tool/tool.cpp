#include "tool.h"

#include <exception>
#include <string_view>

#include "cli/exit_status.h"
#include "cli/usage_text.h"
#include "commands/check_command.h"
#include "commands/compile_command.h"
#include "commands/documents_command.h"
#include "commands/dump_command.h"
#include "commands/explain_command.h"
#include "commands/help_format_command.h"
#include "commands/plot_command.h"
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
    std::string_view name;
    Command run;
    std::string_view (*help)();
};

// One command to a line, so that commands added side by side merge cleanly.
// clang-format off
constexpr CommandEntry kCommands[] = {
    {"sources", sources_command, sources_help},
    {"check", check_command, check_help},
    {"compile", compile_command, compile_help},
    {"dump", dump_command, dump_help},
    {"plot", plot_command, plot_help},
    {"view", view_command, view_help},
    {"explain", explain_command, explain_help},
    {"documents", documents_command, documents_help},
};
// clang-format on

const CommandEntry* find_command(std::string_view name) {
    for (const auto& command : kCommands) {
        if (command.name == name) {
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
    if (args[0] == "format") {
        return help_format_command(args.subspan(1), out, err);
    }
    const auto* command = args.size() == 1 ? find_command(args[0]) : nullptr;
    if (command == nullptr) {
        return usage_failure(err, "no help for '" + args[0] + "'", "");
    }
    out << command->help();
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
        return usage_failure(err, failure.what(), command->name);
    } catch (const EnvironmentError& failure) {
        err << "scenario-tool " << command->name << ": " << escape_controls(failure.what()) << '\n';
        return kExitUsage;
    }
}

std::vector<CommandHelp> command_helps() {
    std::vector<CommandHelp> helps;
    for (const auto& command : kCommands) {
        helps.push_back({command.name, command.help()});
    }
    return helps;
}

}  // namespace scenario::tool
