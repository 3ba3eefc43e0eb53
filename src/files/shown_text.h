#pragma once

#include <string>
#include <string_view>

namespace scenario::files {

// A text shown to a person (a message naming a file) with its control characters written as
// `\xNN`: the C0 controls, DEL and the C1 controls (UTF-8 C2 80 to C2 9F), so that a name
// cannot move the cursor, clear the screen or hide what follows. Every other byte is kept.
std::string escape_controls(std::string_view text);

}  // namespace scenario::files
