#include "compiler/readers/read_texts.h"

#include <exception>

#include "compiler/model/record_fault.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/line_reader.h"
#include "compiler/readers/record_reading.h"
#include "compiler/readers/train_reader.h"

namespace scenario::compiler {

namespace {

// A text that is there but cannot be read fails like any field of it would.
void fail_unless_present(const SourceText& text, std::string_view what) {
    if (text.state == SourceText::State::missing) {
        throw ReadFailure("the " + std::string(what) + " does not exist");
    }
    if (text.state == SourceText::State::unreadable) {
        throw ReadFailure("the " + std::string(what) + " cannot be read");
    }
}

}  // namespace

void read_texts(BuildState& state, const SourceText& line_text, const SourceText& train_text) {
    state.locations[entry::scenery].name = state.LineTitle;
    state.locations[entry::repetition].name = state.TrainCode;
    // Only this build's route length may give cells and a plan.
    state.cells.clear();
    state.plan.clear();
    state.stationCount = 0;

    if (line_text.state == SourceText::State::missing) {
        record_fault<Fault::line_text_missing>(state, ErrorSite::in_text(ErrorSource::line_text));
        return;
    }
    ErrorSource reading = ErrorSource::line_text;
    // Check mode reads the train text after a fault of the line text too, as long as there are
    // cells to place its records on.
    const bool recovering = state.observer != nullptr && state.observer->recovers();
    try {
        fail_unless_present(line_text, "line description file");
        if (state.observer != nullptr) {
            state.observer->text_begins(ErrorSource::line_text, line_text.bytes);
            tell_text_bytes(*state.observer, ErrorSource::line_text, line_text.bytes);
        }
        const LineTextOutcome line = read_line_text(state, line_text.bytes);
        if (line.train_text_follows || (recovering && state.has_cells())) {
            reading = ErrorSource::train_text;
            fail_unless_present(train_text, "train service file");
            if (state.observer != nullptr) {
                state.observer->text_begins(ErrorSource::train_text, train_text.bytes);
                tell_text_bytes(*state.observer, ErrorSource::train_text, train_text.bytes);
            }
            read_train_text(state, train_text.bytes, line);
        }
    } catch (const FieldFailure& failure) {
        // The one failure handler of the build: whatever could not be read is error 25.
        const TextPlace at = failure.place();
        Occurrence occurrence;
        occurrence.text = reading;
        occurrence.at.place = at;
        occurrence.record = state.currentRecord;
        occurrence.arguments = failure_arguments(failure);
        record_fault<Fault::reading_failure>(
            state, ErrorSite::in_text(reading, at.line, at.column, failure.reason()), occurrence);
    } catch (const std::exception& failure) {
        Occurrence occurrence;
        occurrence.text = reading;
        occurrence.arguments = {{"reason", failure.what()}, {"cause", "other"}};
        record_fault<Fault::reading_failure>(
            state, ErrorSite::in_text(reading, 0, 0, failure.what()), occurrence);
    }
}

}  // namespace scenario::compiler
