#pragma once

#include <ostream>
#include <span>
#include <string>

namespace scenario::tool {

enum class ReferenceStyle : bool { plain, markdown };

// The reference of the line and train texts for authors: the rules both share and every record
// kind, made from the readers' record descriptions. Plain text for a terminal, or the Markdown
// of docs/text-format.md.
std::string format_reference(ReferenceStyle style);

// `scenario-tool help format [--markdown]`; returns the exit status.
int format_reference_command(std::span<const std::string> args, std::ostream& out,
                             std::ostream& err);

}  // namespace scenario::tool
