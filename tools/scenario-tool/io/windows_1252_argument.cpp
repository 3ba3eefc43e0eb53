#include "io/windows_1252_argument.h"

#include "cli/exit_status.h"
#include "io/text_encoding.h"

namespace scenario::tool {

std::string windows_1252_argument(const std::string& given, std::string_view option) {
#ifdef _WIN32
    (void)option;
    return given;  // the arguments already come in the ANSI code page
#else
    auto bytes = utf8_to_1252(given);
    if (!bytes) {
        throw UsageError("--" + std::string(option) +
                         " holds a character that the scenario files (Windows-1252) cannot hold");
    }
    return *bytes;
#endif
}

}  // namespace scenario::tool
