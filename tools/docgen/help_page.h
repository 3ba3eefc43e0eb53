#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "help_text.h"

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

// The blocks of a help text as roff: paragraphs as paragraphs, lists as tagged paragraphs.
std::string help_blocks(const HelpText& help);

// The forms of a help text, one to a line, as a synopsis.
std::string usage_forms(const HelpText& help);

struct CommandPage {
    std::string_view name;
    std::string_view help;
};

// scenario-tool(1): the tool's help as NAME, SYNOPSIS and DESCRIPTION, then each command's
// help in COMMANDS, in the order of the tool's table.
std::string tool_page(const PageHeading& heading, std::string_view tool_help,
                      const std::vector<CommandPage>& commands,
                      const std::vector<std::string>& see_also);

// scenario-builder(1): the builder's help, and where the installed program is to be copied from.
std::string builder_page(const PageHeading& heading, std::string_view builder_help,
                         std::string_view installed_program,
                         const std::vector<std::string>& see_also);

}  // namespace scenario::docgen
