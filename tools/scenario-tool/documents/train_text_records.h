#pragma once

#include <cstdint>
#include <vector>

#include "reading/author_reading.h"

namespace scenario::tool {

// What the train card and the slowdown order print from the train text and the compile does not
// keep as written: the speed-limit lines, the slowdown lines, and the platform length of each
// station. Each record carries the 1-based line of its keyword.
struct SpeedLimitLine {
    std::int32_t position = 0;
    std::int32_t speed = 0;  // km/h
    std::int32_t line = 0;
};

struct SlowdownLine {
    std::int32_t x = 0;  // where the restriction begins
    std::int32_t v = 0;  // restricted speed, km/h
    std::int32_t l = 0;  // length in metres
    std::int32_t f_tt = 0;
    std::int32_t f_ta = 0;
    std::int32_t d_v = 0;
    std::int32_t line = 0;
};

struct StationLine {
    std::int32_t position = 0;
    std::int32_t platform = 0;  // length of the location in metres
    std::int32_t line = 0;
};

struct TrainTextRecords {
    std::vector<SpeedLimitLine> speedLimits;  // in text order
    std::vector<SlowdownLine> slowdowns;      // in text order
    std::vector<StationLine> stations;        // in text order, as the table holds them
};

// The records above as the one reading of the train text met them, those the build placed.
TrainTextRecords train_text_records(const AuthorReading& reading);

}  // namespace scenario::tool
