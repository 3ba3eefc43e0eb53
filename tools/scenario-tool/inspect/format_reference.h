#pragma once

#include <string>

namespace scenario::tool {

enum class ReferenceStyle : bool { plain, markdown };

// The reference of the line and train texts for authors: the rules both share and every record
// kind, made from the readers' record descriptions. Plain text for a terminal, or the Markdown
// of docs/text-format.md.
std::string format_reference(ReferenceStyle style);

}  // namespace scenario::tool
