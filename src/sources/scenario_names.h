#pragma once

#include <string_view>

namespace scenario::sources {

// The built-in scenario: the line named after its two terminal stations, and the train run.
inline constexpr std::string_view kLineTitle = "MORENA LAGO - PIAN DI VALSO";
inline constexpr std::string_view kTrainCode = "R10537";

}  // namespace scenario::sources
