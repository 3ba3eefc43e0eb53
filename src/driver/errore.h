#pragma once

#include <string>

#include "platform/platform.h"

namespace scenario::driver {

// The text the error box shows: " Errore n. " and the number's digits.
std::string error_message(const std::string& a);

// Shows " Errore n. " followed by the number in a modal box with one OK button and ends the
// program; nothing is written after it.
[[noreturn]] void errore(platform::Desktop& desktop, const std::string& a);

}  // namespace scenario::driver
