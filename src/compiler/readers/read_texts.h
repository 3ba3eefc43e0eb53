#pragma once

#include <cstdint>
#include <string_view>

#include "compiler/model/build_state.h"

namespace scenario::compiler {

// One text as the compile finds it: its bytes, or no such file, or a file that could not be read.
struct SourceText {
    enum class State : std::uint8_t { present, missing, unreadable };
    State state = State::missing;
    std::string_view bytes;  // when present; must outlive the compile

    static SourceText of(std::string_view bytes) { return {State::present, bytes}; }
    static SourceText missing() { return {State::missing, {}}; }
    static SourceText unreadable() { return {State::unreadable, {}}; }
};

// Reads the line description text and then the train service text into the model. Faults are
// recorded in errorNumber / errorPosition / errorSite; whatever cannot be read is error 25 (a
// missing line text is 101; a missing train text cannot be read).
void read_texts(BuildState& state, const SourceText& line_text, const SourceText& train_text);

}  // namespace scenario::compiler
