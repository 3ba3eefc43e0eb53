#include "compiler/readers/memorizza_dati.h"

#include <optional>
#include <string>
#include <system_error>

#include "compiler/model/record_fault.h"
#include "compiler/readers/read_texts.h"
#include "files/file_names.h"
#include "files/replace_file.h"

namespace scenario::compiler {

namespace {

// A text of the directory: its bytes, or why there are none.
struct TextFile {
    SourceText::State state = SourceText::State::missing;
    std::string bytes;

    SourceText source() const { return {state, bytes}; }
};

TextFile read_text_file(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec) {
        return {};
    }
    try {
        return {SourceText::State::present, files::read_file(file)};
    } catch (const files::FileError&) {
        return {SourceText::State::unreadable, {}};
    }
}

// The texts are temporaries of this build; one that stays is a failure of the reading.
void delete_text(BuildState& state, const std::filesystem::path& file, ErrorSource source) {
    try {
        files::delete_file(file);
    } catch (const files::FileError& failure) {
        record_fault<Fault::reading_failure>(state,
                                             ErrorSite::in_text(source, 0, 0, failure.what()));
    }
}

}  // namespace

void memorizza_dati(BuildState& state, const std::filesystem::path& directory) {
    const auto line_file = files::full_path(directory, files::line_text_name(state.LineTitle));
    const auto train_file =
        files::full_path(directory, files::train_text_name(state.LineTitle, state.TrainCode));
    const TextFile line = read_text_file(line_file);
    const TextFile train = read_text_file(train_file);
    read_texts(state, line.source(), train.source());
    delete_text(state, line_file, ErrorSource::line_text);
    delete_text(state, train_file, ErrorSource::train_text);
}

}  // namespace scenario::compiler
