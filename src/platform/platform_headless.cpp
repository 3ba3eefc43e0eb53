// The desktop of a build without a windowing system: no window, and every message box's text
// goes to standard error.
#include <string>

#include "platform/platform.h"
#include "platform/posix_directory.h"
#include "platform/stderr_report.h"

namespace scenario::platform {

struct Desktop::Impl {};

Desktop::Desktop() = default;
Desktop::~Desktop() = default;

bool Desktop::has_display() const {
    return false;
}

void Desktop::show_notice(const NoticeDesign& /*design*/) {}

void Desktop::message_box(std::string_view text) {
    report_to_stderr(text);
}

void Desktop::close() {}

std::filesystem::path executable_directory() {
    return posix_executable_directory();
}

}  // namespace scenario::platform
