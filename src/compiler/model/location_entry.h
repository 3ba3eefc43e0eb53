#pragma once

#include <cstdint>
#include <string>

namespace scenario::compiler {

// One entry of the scenario table: a station, a sign-board text or a block of general settings.
// Field order and widths are those of the scenario file; `name` holds Windows-1252 bytes.
struct LocationEntry {
    std::uint8_t kind = 0;
    std::int32_t zoneStart = 0;
    std::int32_t zoneEnd = 0;
    std::int32_t position = 0;
    std::uint8_t param4 = 0;
    std::string name;
    std::int16_t param7 = 0;
    std::int16_t param8 = 0;
    std::int16_t param10 = 0;
    std::int16_t param11 = 0;
    std::int16_t param12 = 0;
    std::uint8_t param9 = 0;
    std::uint8_t dwell = 0;
    std::uint8_t extendFlag = 0;
    std::uint8_t longFlag = 0;
    std::int32_t timeOfDay = 0;

    friend bool operator==(const LocationEntry&, const LocationEntry&) = default;
};

}  // namespace scenario::compiler
