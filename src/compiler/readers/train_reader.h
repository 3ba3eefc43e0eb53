#pragma once

#include <filesystem>

#include "compiler/model/build_state.h"
#include "compiler/readers/line_reader.h"
#include "compiler/readers/reading_place.h"

namespace scenario::compiler {

// Reads the train service file into the model after the line text: train data, clock, speed
// and adhesion of the cells, signals, slowdowns, code points and stations; deletes the file and
// checks the kilometric ranges. Faults are recorded; a reading failure is thrown, with `place`
// naming where it happened.
void read_train_text(BuildState& state, const std::filesystem::path& file,
                     const LineTextOutcome& line_text, ReadingPlace& place);

}  // namespace scenario::compiler
