#pragma once

#include <filesystem>

#include "compiler/model/build_state.h"
#include "platform/platform.h"

namespace scenario::driver {

// The program's one window and the state of its one build.
class Form1 {
  public:
    explicit Form1(platform::Desktop& desktop) : desktop_(desktop) {}

    // The whole build: names, notice window, the five texts, the compile, the end.
    // Returns the exit status; errore ends the program itself.
    int Form_Load();

    const compiler::BuildState& state() const { return state_; }

  private:
    void write_texts(const std::filesystem::path& directory);

    platform::Desktop& desktop_;
    compiler::BuildState state_;
};

// The line that tells a person about a recorded fault: number, position and meaning.
std::string recorded_fault_line(const compiler::BuildState& state);

}  // namespace scenario::driver
