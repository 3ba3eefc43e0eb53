#pragma once

#include <ostream>
#include <span>
#include <string>

namespace scenario::tool {

// The whole command line after the program name: picks the command, runs it, turns usage and
// environment failures into a message on `err`. Returns the exit status.
int run_tool(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
