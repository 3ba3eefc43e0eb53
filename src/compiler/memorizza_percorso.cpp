#include "compiler/memorizza_percorso.h"

#include "compiler/readers/memorizza_dati.h"
#include "files/file_names.h"
#include "files/output_set.h"

namespace scenario::compiler {

NoCellsError::NoCellsError()
    : std::runtime_error(
          "the line description gave no route length, so there are no cells to stamp and no "
          "compact file was written") {}

void write_compact_files(const CompactFiles& files, const std::filesystem::path& directory,
                         std::string_view LineTitle, std::string_view TrainCode,
                         files::ReadOnly read_only) {
    files::OutputSet set(read_only);
    if (files.plan) {
        // Packed into its temporary as it is made: no 20 MB buffer to clear and fill first.
        const compiler::PlanFile plan = *files.plan;
        set.add(files::full_path(directory, files::line_binary_name(LineTitle)),
                [plan](files::PendingFile& file) {
                    plan.write([&](std::span<const std::uint8_t> piece) { file.write(piece); });
                });
    }
    set.add(files::full_path(directory, files::scenario_file_name(LineTitle, TrainCode)),
            files.scenario);
    set.add(files::full_path(directory, files::cell_file_name(LineTitle, TrainCode)), files.cells);
    set.commit();
}

CompileResult memorizza_percorso(BuildState& state, const std::filesystem::path& directory,
                                 std::int32_t j) {
    begin_compile(state, j);
    memorizza_dati(state, directory);
    const auto output = complete_compile(state);
    if (output.fatal == FatalOutcome::no_cells) {
        throw NoCellsError();
    }
    if (output.files) {
        write_compact_files(*output.files, directory, state.LineTitle, state.TrainCode);
    }
    return {fatal_error_number(output.fatal), output.codePointsPlaced};
}

}  // namespace scenario::compiler
