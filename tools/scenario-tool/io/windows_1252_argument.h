#pragma once

#include <string>
#include <string_view>

namespace scenario::tool {

// A name typed on the command line (a title, a code, a station) as the Windows-1252 bytes of
// the scenario files. Throws UsageError naming the option when it cannot be held.
std::string windows_1252_argument(const std::string& given, std::string_view option);

}  // namespace scenario::tool
