#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "compiler/model/build_state.h"
#include "compiler/model/text_place.h"

namespace scenario::compiler {

// A kilometric range as its "progressiva" line gave it, before the ranges are ordered.
struct KilometricLine {
    TextPlace off_grid;  // the start or kilometric value off the 50 m grid; line 0 when none is
    bool given = false;  // a line of the text gave this range
    FieldSpan start;     // the start value as written
};

// What the reading of the train text takes over from the line text.
struct LineTextOutcome {
    bool train_text_follows = false;  // false when a fault stopped the reading
    // Check mode reads on after a fault; this says whether the build itself stopped there.
    bool build_stopped = false;
    std::int32_t signSlot = static_cast<std::int32_t>(entry::first_sign_slot);
    std::array<KilometricLine, 3> ranges{};  // as read into entries 81, 82, 83
};

// Reads the line description text into the model: general settings, cells and plan, gradients,
// curves, mountain spans, speed boards and sign boards. Faults are recorded; a reading failure
// is thrown as a FieldFailure that names its place in the text.
LineTextOutcome read_line_text(BuildState& state, std::string_view text);

}  // namespace scenario::compiler
