#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_description.h"

namespace scenario::tool {

// A row of a list made at run time: the tool's commands, the options a help lists.
struct ListEntry {
    std::string term;
    std::string_view text;
};

// The option as the help lists it: "--out DIR", "--color=WHEN", "-Wno-NAME", "--json".
std::string option_term(const OptionDescription& option);

// The rows of the options list: each option with a help line, in the description's order.
std::vector<ListEntry> listed_options(const CommandDescription& command);

// The forms of the command line, "scenario-tool check --line FILE ...", each broken before an
// option (with its value) or a bracketed group that would pass the 79th column of the help;
// the lines that go on are indented by the width of "scenario-tool check". Without "usage: ".
std::vector<std::string> usage_lines(const CommandDescription& command);

// The command's --help: its usage, then its paragraphs; `commands` fills a command list.
std::string help_text(const CommandDescription& command, std::span<const ListEntry> commands = {});

}  // namespace scenario::tool
