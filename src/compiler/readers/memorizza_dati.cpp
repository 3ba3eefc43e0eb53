#include "compiler/readers/memorizza_dati.h"

#include <exception>
#include <system_error>

#include "compiler/readers/line_reader.h"
#include "compiler/readers/reading_place.h"
#include "compiler/readers/train_reader.h"
#include "files/file_names.h"
#include "files/replace_file.h"

namespace scenario::compiler {

namespace {

constexpr std::int32_t kReadingFailure = 25;

// After a failure nothing more may go wrong: a text that cannot be deleted stays.
void delete_if_possible(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

}  // namespace

void memorizza_dati(BuildState& state, const std::filesystem::path& directory) {
    state.locations[entry::scenery].name = state.LineTitle;
    state.locations[entry::repetition].name = state.TrainCode;
    // Only this build's route length may give cells and a plan.
    state.cells.clear();
    state.plan.clear();
    state.stationCount = 0;

    const auto line_text = files::full_path(directory, files::line_text_name(state.LineTitle));
    const auto train_text =
        files::full_path(directory, files::train_text_name(state.LineTitle, state.TrainCode));
    ReadingPlace place;
    try {
        const LineTextOutcome line = read_line_text(state, line_text, place);
        if (line.train_text_follows) {
            read_train_text(state, train_text, line, place);
        } else {
            // Both texts are temporaries of this build: the train text goes also when a fault
            // in the line text (or its absence) means it is never read.
            place = {ErrorSource::train_text, 0};
            files::delete_file(train_text);
        }
    } catch (const std::exception&) {
        // The one failure handler of the build: whatever could not be read is error 25, and
        // both temporary texts are removed.
        state.errorNumber = kReadingFailure;
        state.errorSite = {place.source, place.line, -1};
        delete_if_possible(line_text);
        delete_if_possible(train_text);
    }
}

}  // namespace scenario::compiler
