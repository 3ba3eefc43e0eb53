#pragma once

#include <ostream>
#include <span>
#include <string>

namespace scenario::tool {

// `scenario-tool check --line FILE --train FILE [--json] [--strict] [-Wno-NAME ...]
// [--color=WHEN]`: every problem of the two texts, writing nothing; returns the exit status.
int check_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
