#include "compiler/compile.h"

#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/packing.h"
#include "compiler/scenario_codes.h"
#include "compiler/signalling_pass.h"

namespace scenario::compiler {

namespace {
constexpr std::int16_t kCellFormatMarker = 5121;
constexpr std::int16_t kTableFormatMarker = 610;

CompileOutput ended_by(FatalOutcome outcome) {
    CompileOutput output;
    output.fatal = outcome;
    return output;
}
}  // namespace

std::int32_t fatal_error_number(FatalOutcome outcome) {
    switch (outcome) {
        case FatalOutcome::format_markers_in_use:
            return number_of(Fault::format_markers_in_use);
        case FatalOutcome::scenario_codes_in_use:
            return number_of(Fault::scenario_codes_in_use);
        case FatalOutcome::none:
        case FatalOutcome::no_cells:
            break;
    }
    return 0;
}

CompileOutput stamp_and_pack(BuildState& state) {
    if (!state.has_cells() || state.last_cell() < 1) {
        return ended_by(FatalOutcome::no_cells);
    }
    auto& scenery = state.locations[entry::scenery];
    auto& stamp_cell = state.cells[1];
    if (scenery.param7 != 0 || stamp_cell.ref != 0) {
        return ended_by(FatalOutcome::format_markers_in_use);
    }
    scenery.param7 = kTableFormatMarker;
    stamp_cell.ref = kCellFormatMarker;
    if (scenery.timeOfDay != 0 || stamp_cell.ref2 != 0) {
        return ended_by(FatalOutcome::scenario_codes_in_use);
    }
    scenery.timeOfDay = codice_gara_st(state);
    stamp_cell.ref2 = codice_gara_og(state);

    CompactFiles files;
    if (state.buildFlag != 0 && state.plan.allocated()) {
        files.plan.emplace(state.plan);
    }
    files.scenario = pack_locations(state.locations);
    files.cells = pack_cells(state.cells);
    CompileOutput output;
    output.files = std::move(files);
    return output;
}

void PlanFile::write(const std::function<void(std::span<const std::uint8_t>)>& sink) const {
    pack_path_points(*plan_, sink);
}

std::vector<std::uint8_t> PlanFile::bytes() const {
    return pack_path_points(*plan_);
}

void begin_compile(BuildState& state, std::int32_t buildFlag) {
    state.buildFlag = buildFlag;
    state.errorNumber = 0;
    state.errorSite = {};
    state.faultLog.clear();
    state.faultsRecorded = 0;
    state.helperFaultCell = -1;
    state.currentRecord = kNoRecord;
    for (auto& location : state.locations) {
        location = LocationEntry{};
    }
}

CompileOutput complete_compile(BuildState& state) {
    const auto placed = signalling_pass(state);
    auto output = stamp_and_pack(state);
    output.codePointsPlaced = placed;
    return output;
}

CompileOutput compile_scenario(BuildState& state, const CompileInput& input) {
    state.LineTitle = input.LineTitle;
    state.TrainCode = input.TrainCode;
    begin_compile(state, input.buildFlag);
    read_texts(state, input.line_text, input.train_text);
    return complete_compile(state);
}

}  // namespace scenario::compiler
