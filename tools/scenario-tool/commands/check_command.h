#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "cli/command_description.h"

namespace scenario::tool {

// The names -Wno- takes: the warnings check reports. -Wno- refuses any other name and the
// completion offers these, so that where the warnings are listed is said here alone.
std::span<const std::string_view> warning_names();

const CommandDescription& check_description();

// `scenario-tool check --line FILE --train FILE [--json] [--strict] [-Wno-NAME ...]
// [--color=WHEN]`: every problem of the two texts, writing nothing; returns the exit status.
int check_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
