#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/stderr_report.h"

namespace scenario::platform {

void report_to_stderr(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    std::fprintf(stderr, "%s: %.*s\n", std::string(kProgramName).c_str(),
                 static_cast<int>(text.size()), text.data());
}

void end_program(int status) {
    std::fflush(nullptr);
    std::exit(status);
}

}  // namespace scenario::platform
