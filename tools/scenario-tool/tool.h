#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_description.h"
#include "cli/help_text.h"

namespace scenario::tool {

// The whole command line after the program name: picks the command, runs it, turns usage and
// environment failures into a message on `err`. Returns the exit status.
int run_tool(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The tool as `scenario-tool --help` shows it, and each of its commands in its table's order:
// the manual page and the shell completion are made from these.
const CommandDescription& tool_description();
std::vector<const CommandDescription*> command_descriptions();

// The rows of the tool's command list: each command, then help and each topic of help.
std::vector<ListEntry> command_list();

// The words `help` takes besides the command names: "format".
std::vector<std::string_view> help_topics();

}  // namespace scenario::tool
