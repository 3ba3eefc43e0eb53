#pragma once

#include <ostream>
#include <span>
#include <string>

namespace scenario::tool {

// `scenario-tool help format [--markdown]`: the reference of the texts, for a terminal or as
// the Markdown of docs/text-format.md; returns the exit status.
int help_format_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
