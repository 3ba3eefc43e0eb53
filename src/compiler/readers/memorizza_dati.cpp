#include "compiler/readers/memorizza_dati.h"

#include "files/file_names.h"
#include "files/replace_file.h"

namespace scenario::compiler {

void memorizza_dati(BuildState& state, const std::filesystem::path& directory) {
    state.locations[entry::scenery].name = state.LineTitle;
    state.locations[entry::repetition].name = state.TrainCode;
    // Reading of the two texts is still to come: they are only removed.
    files::delete_file(files::full_path(directory, files::line_text_name(state.LineTitle)));
    files::delete_file(
        files::full_path(directory, files::train_text_name(state.LineTitle, state.TrainCode)));
}

}  // namespace scenario::compiler
