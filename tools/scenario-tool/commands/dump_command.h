#pragma once

#include <ostream>
#include <span>
#include <string>

#include "cli/command_description.h"

namespace scenario::tool {

const CommandDescription& dump_description();

// `scenario-tool dump FILE ...`; returns the exit status.
int dump_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
