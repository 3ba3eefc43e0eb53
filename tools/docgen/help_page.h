#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_description.h"
#include "cli/help_text.h"

namespace scenario::docgen {

// What heads every manual page: ".TH NAME SECTION" with the product and version in the footer.
struct PageHeading {
    std::string name;  // "scenario-tool"
    int section = 1;
    std::string version;  // "1.0.0"
};

std::string title_lines(const PageHeading& heading);

// "SEE ALSO" with the pages given as "name(section)", in bold.
std::string see_also_section(const std::vector<std::string>& pages);

// A command's paragraphs as roff: prose as paragraphs, lists, options and commands as tagged
// paragraphs; `commands` fills a command list.
std::string help_paragraphs(const tool::CommandDescription& command,
                            std::span<const tool::ListEntry> commands = {});

// The forms of a command, one to a line as its help breaks them, as a synopsis.
std::string synopsis_lines(const tool::CommandDescription& command);

// scenario-tool(1): the tool's description as NAME, SYNOPSIS and DESCRIPTION, then each
// command's in COMMANDS, in the order of the tool's table.
std::string tool_page(const PageHeading& heading, const tool::CommandDescription& tool,
                      std::span<const tool::ListEntry> command_list,
                      std::span<const tool::CommandDescription* const> commands,
                      const std::vector<std::string>& see_also);

// scenario-builder(1): the builder's description, and where the installed program is to be
// copied from.
std::string builder_page(const PageHeading& heading, const tool::CommandDescription& builder,
                         std::string_view installed_program,
                         const std::vector<std::string>& see_also);

}  // namespace scenario::docgen
