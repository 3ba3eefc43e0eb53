#pragma once

#include <string_view>

namespace scenario::platform {

// A message box's text on standard error, for a run without a display: one line, after the
// program's name.
void report_to_stderr(std::string_view text);

}  // namespace scenario::platform
