#include "io/windows_1252_argument.h"

#include "cli/exit_status.h"
#include "io/text_encoding.h"

namespace scenario::tool {

// The arguments come in UTF-8 on every system (on Windows the program reads them as UTF-16 and
// converts them), and a character is taken only where Windows-1252 holds that very character:
// no nearest letter in its place, as Windows' own conversion would give.
std::string windows_1252_argument(const std::string& given, std::string_view option) {
    auto bytes = utf8_to_1252(given);
    if (!bytes) {
        throw UsageError("--" + std::string(option) +
                         " holds a character that the scenario files (Windows-1252) cannot hold");
    }
    return *bytes;
}

}  // namespace scenario::tool
