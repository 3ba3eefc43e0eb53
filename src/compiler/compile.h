#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/build_state.h"
#include "compiler/readers/read_texts.h"

namespace scenario::compiler {

// What a compile is given: the two texts, the names and the build flag.
struct CompileInput {
    SourceText line_text;
    SourceText train_text;
    std::string LineTitle;
    std::string TrainCode;
    std::int32_t buildFlag = 1;  // non-zero: the plan and the line binary file too
};

// The ends of a compile that write no compact file.
enum class FatalOutcome : std::uint8_t {
    none,
    format_markers_in_use,  // 1250: something stands where the format markers go
    scenario_codes_in_use,  // 1251: something stands where the scenario codes go
    no_cells,               // the line text gave no route length: nothing to stamp
};

// The fatal outcome's error number for the message box, 0 for none and no cells.
std::int32_t fatal_error_number(FatalOutcome outcome);

// The line binary file, packed from the plan when it is written: piece by piece, straight into
// the file, so that its bytes (20 MB for the longest route) are never held in memory whole; or
// whole, for a caller that wants them. It reads the state's plan, which must outlive it
// unchanged.
class PlanFile {
  public:
    explicit PlanFile(const PathPoints& plan) : plan_(&plan) {}
    void write(const std::function<void(std::span<const std::uint8_t>)>& sink) const;
    std::vector<std::uint8_t> bytes() const;
    // Equal when they make the same file.
    friend bool operator==(const PlanFile& a, const PlanFile& b) { return a.bytes() == b.bytes(); }

  private:
    const PathPoints* plan_;
};

// The bytes of the three compact files, in the order the builder writes them.
struct CompactFiles {
    std::optional<PlanFile> plan;        // the line binary file, with buildFlag set
    std::vector<std::uint8_t> scenario;  // the scenario file
    std::vector<std::uint8_t> cells;     // the cell file
};

struct CompileOutput {
    FatalOutcome fatal = FatalOutcome::none;
    std::int32_t codePointsPlaced = 0;  // by the signalling pass
    std::optional<CompactFiles> files;  // none when the outcome is fatal
};

// The whole compile in memory: clears the table, reads both texts, runs the signalling pass,
// stamps the markers and the scenario codes and packs the compact files. Touches no file; the
// state holds everything the build recorded (errorNumber, errorPosition, errorSite, ...).
CompileOutput compile_scenario(BuildState& state, const CompileInput& input);

// The steps before the texts are read: the build flag, a clear error number, a clear table.
void begin_compile(BuildState& state, std::int32_t buildFlag);

// The steps after the texts were read: the signalling pass, the stamps and the packing.
CompileOutput complete_compile(BuildState& state);

// The stamps and the packing alone, for callers that already hold a filled model.
CompileOutput stamp_and_pack(BuildState& state);

}  // namespace scenario::compiler
