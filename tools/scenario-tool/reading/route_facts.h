#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "compiler/model/build_state.h"

namespace scenario::tool {

// One kilometric range of the line in use: from `start` on, the reading is `value` at the start
// and decreases with the position when `sense` is 1, increases otherwise.
struct KilometricRange {
    std::int32_t start = 0;
    std::int32_t value = 0;
    std::int32_t sense = 0;
};

// The ranges the build ordered (entries 81 to 83), by start, with the kilometric value as the
// author wrote it (the build adds 100 to a decreasing range's), unused ones left out.
std::vector<KilometricRange> ranges_in_use(const compiler::BuildState& state);

// The range in force at a position: the one with the greatest start not past it; none when no
// range covers the position.
const KilometricRange* range_at(const std::vector<KilometricRange>& ranges, std::int64_t position);

// The line's own kilometre reading at a position, in metres, by the range in force there.
std::optional<std::int64_t> kilometre_at(const std::vector<KilometricRange>& ranges,
                                         std::int64_t position);

// "97+600": kilometres, "+", three digits of metres.
std::string kilometre_text(std::int64_t metres);

}  // namespace scenario::tool
