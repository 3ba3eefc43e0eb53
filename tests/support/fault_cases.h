#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "compiler/model/build_state.h"
#include "compiler/model/error_catalogue.h"

namespace scenario::testing {

using Lines = std::vector<std::string>;

// A small line and train run that compile without a fault: 20 km (cells 0 to 540), a curve,
// two gradients, a mountain span, a speed board at 1100 (cell 23), a sign board at 2200
// (cell 45), three stations (stop cells 15, 163 and 385), a 40 km/h slowdown from 12000
// (warning cell 217, start 241, end 247) and three signals (cells 38, 101, 301).
extern const Lines kBaseLine;
extern const Lines kBaseTrain;

// Lines joined with CR LF after each, as the writers leave them.
std::string text_of(const Lines& lines);

// A signal line at the position, with the values of the first built-in signal.
std::string signal_at(int position);

// Edits by 1-based line number.
void replace_line(Lines& lines, int line, std::string text);
void insert_line(Lines& lines, int line, std::string text);

// A text the in-memory compile can be given as absent. scenario-tool refuses a missing file
// before it compiles, so such a case belongs to the core alone.
enum class MissingText : std::uint8_t { none, line, train };

// One edit of the base texts and the one fault it raises, with the place the build gives it.
struct FaultCase {
    const char* name;
    std::function<void(Lines& line, Lines& train)> edit;
    compiler::Fault fault;
    std::optional<std::int32_t> position = std::nullopt;  // exactly for faults that carry one
    compiler::ErrorSource source = compiler::ErrorSource::none;
    std::int32_t line = 0;    // of the field that raised it; 0 for a whole text or the pass
    std::int32_t column = 0;  // of that field's first non-blank byte
    std::optional<std::int32_t> cell = std::nullopt;  // for the signalling pass
    bool written = true;  // the compact files are written despite the fault
    MissingText missing = MissingText::none;

    bool core_only() const { return missing != MissingText::none; }
};

// Shown by the test runner in place of the edit.
void PrintTo(const FaultCase& c, std::ostream* os);

// At least one case for every entry of the fault catalogue.
const std::vector<FaultCase>& fault_cases();

// The cases scenario-tool can be given: both texts present.
std::vector<FaultCase> tool_fault_cases();

}  // namespace scenario::testing
