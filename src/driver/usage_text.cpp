#include "driver/usage_text.h"

#include <algorithm>

namespace scenario::driver {

std::string usage_text() {
    std::string text;
    for (const auto form : kForms) {
        text += (text.empty() ? "usage: " : "       ") + std::string(kProgram) +
                (form.empty() ? "" : " ") + std::string(form) + "\n";
    }
    text += "\n" + std::string(kDescription) + "\n\n";
    std::size_t width = 0;
    for (const auto& option : kOptions) {
        width = std::max(width, option.name.size());
    }
    for (const auto& option : kOptions) {
        text += "  --" + std::string(option.name) +
                std::string(width - option.name.size() + 2, ' ') + std::string(option.help) + "\n";
    }
    return text + "\n" + std::string(kExitStatus) + "\n";
}

}  // namespace scenario::driver
