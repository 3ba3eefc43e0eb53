#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "compiler/model/build_state.h"
#include "compiler/model/diagnostic_catalogue.h"

namespace scenario::testing {

using Lines = std::vector<std::string>;

// The example route of the catalogue's examples (compiler/model/example_route.h), as lines.
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
