#pragma once

#include <ostream>
#include <span>
#include <string>

#include "cli/command_description.h"

namespace scenario::tool {

const CommandDescription& lsp_description();

// `scenario-tool lsp [--log FILE]`: the language server of the line and train texts on standard
// input and output, until the editor says exit or goes away; returns the exit status.
int lsp_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
