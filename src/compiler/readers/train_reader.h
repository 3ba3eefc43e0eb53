#pragma once

#include <string_view>

#include "compiler/model/build_state.h"
#include "compiler/readers/line_reader.h"

namespace scenario::compiler {

// Reads the train service text into the model after the line text: train data, clock, speed
// and adhesion of the cells, signals, slowdowns, code points and stations; then checks the
// kilometric ranges. Faults are recorded; a reading failure is thrown as a FieldFailure that
// names its place in the text.
void read_train_text(BuildState& state, std::string_view text, const LineTextOutcome& line_text);

}  // namespace scenario::compiler
