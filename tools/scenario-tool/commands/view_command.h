#pragma once

#include <ostream>
#include <span>
#include <string>

#include "cli/command_description.h"

namespace scenario::tool {

const CommandDescription& view_description();

// scenario-tool view --line FILE --train FILE --out PAGE.html [--title TITLE --code CODE]
int view_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
