#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

#include "compiler/model/build_state.h"
#include "compiler/readers/reading_place.h"

namespace scenario::compiler {

// A kilometric range as its "progressiva" line gave it, before the ranges are ordered.
struct KilometricLine {
    std::int32_t line = 0;  // 0 when no line gave the range
    bool off_grid = false;  // start or kilometric value not a multiple of 50
};

// What the reading of the train text takes over from the line text.
struct LineTextOutcome {
    bool train_text_follows = false;  // false when a fault stopped the reading
    std::int32_t signSlot = static_cast<std::int32_t>(entry::first_sign_slot);
    std::array<KilometricLine, 3> ranges{};  // as read into entries 81, 82, 83
};

// Reads the line description file into the model: general settings, cells and plan, gradients,
// curves, mountain spans, speed boards and sign boards; deletes the file. Faults are recorded;
// a reading failure is thrown, with `place` naming where it happened.
LineTextOutcome read_line_text(BuildState& state, const std::filesystem::path& file,
                               ReadingPlace& place);

}  // namespace scenario::compiler
