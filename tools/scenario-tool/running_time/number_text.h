#pragma once

#include <cstdio>
#include <string>

namespace scenario::running_time {

// A number with a fixed count of decimals, for the messages of the run.
inline std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace scenario::running_time
