#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::tool {

// The whole command line after the program name: picks the command, runs it, turns usage and
// environment failures into a message on `err`. Returns the exit status.
int run_tool(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// Each command the tool runs, in its table's order, with the text of `scenario-tool help NAME`:
// the manual page and the shell completion are made from these.
struct CommandHelp {
    std::string_view name;
    std::string_view help;
};
std::vector<CommandHelp> command_helps();

}  // namespace scenario::tool
