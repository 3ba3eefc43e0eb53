#pragma once

#include <span>
#include <string_view>

namespace scenario::tool {

// What the readers accept without a fault but an author almost never means. Each warning has
// a name (-Wno-NAME silences it), a one-line meaning and a longer explanation.
struct WarningEntry {
    std::string_view name;
    std::string_view meaning;
    std::string_view explanation;
};

std::span<const WarningEntry> warning_catalogue();
const WarningEntry* find_warning(std::string_view name);

}  // namespace scenario::tool
