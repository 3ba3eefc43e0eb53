#pragma once

#include <ostream>
#include <span>
#include <string>

#include "cli/command_description.h"

namespace scenario::tool {

const CommandDescription& plot_description();

// `scenario-tool plot DIR --out FILE.svg [--title T --code C]`; returns the exit status.
int plot_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
