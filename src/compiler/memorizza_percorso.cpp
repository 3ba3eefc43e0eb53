#include "compiler/memorizza_percorso.h"

#include "compiler/model/packing.h"
#include "compiler/readers/memorizza_dati.h"
#include "compiler/scenario_codes.h"
#include "compiler/signalling_pass.h"
#include "files/file_names.h"
#include "files/replace_file.h"

namespace scenario::compiler {

namespace {
constexpr std::int16_t kCellFormatMarker = 5121;
constexpr std::int16_t kTableFormatMarker = 610;
}  // namespace

NoCellsError::NoCellsError()
    : std::runtime_error(
          "the line description gave no route length, so there are no cells to stamp and no "
          "compact file was written") {}

CompileResult stamp_and_write(BuildState& state, const std::filesystem::path& directory) {
    if (!state.has_cells() || state.last_cell() < 1) {
        throw NoCellsError();
    }
    auto& scenery = state.locations[entry::scenery];
    auto& stamp_cell = state.cells[1];
    if (scenery.param7 != 0 || stamp_cell.ref != 0) {
        return {.fatalError = 1250};
    }
    scenery.param7 = kTableFormatMarker;
    stamp_cell.ref = kCellFormatMarker;
    if (scenery.timeOfDay != 0 || stamp_cell.ref2 != 0) {
        return {.fatalError = 1251};
    }
    scenery.timeOfDay = codice_gara_st(state);
    stamp_cell.ref2 = codice_gara_og(state);

    if (state.buildFlag != 0) {
        files::replace_file_in_pieces(
            files::full_path(directory, files::line_binary_name(state.LineTitle)),
            [&](const files::ByteSink& sink) { pack_path_points(state.plan, sink); });
    }
    files::replace_file(
        files::full_path(directory, files::scenario_file_name(state.LineTitle, state.TrainCode)),
        pack_locations(state.locations));
    files::replace_file(
        files::full_path(directory, files::cell_file_name(state.LineTitle, state.TrainCode)),
        pack_cells(state.cells));
    return {};
}

CompileResult memorizza_percorso(BuildState& state, const std::filesystem::path& directory,
                                 std::int32_t j) {
    state.buildFlag = j;
    state.errorNumber = 0;
    state.errorSite = {};
    for (auto& location : state.locations) {
        location = LocationEntry{};
    }
    memorizza_dati(state, directory);
    const auto placed = signalling_pass(state);
    auto result = stamp_and_write(state, directory);
    result.codePointsPlaced = placed;
    return result;
}

}  // namespace scenario::compiler
