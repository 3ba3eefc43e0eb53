#include "driver/form1.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "compiler/memorizza_percorso.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "driver/errore.h"
#include "driver/exit_status.h"
#include "files/directory_lock.h"
#include "files/file_error.h"
#include "files/file_names.h"
#include "files/output_file.h"
#include "files/output_set.h"
#include "files/shown_text.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"

namespace scenario::driver {

std::string recorded_fault_line(const compiler::BuildState& state) {
    std::string line = "error " + std::to_string(state.errorNumber);
    if (compiler::error_sets_position(state.errorNumber)) {
        line += " at " + std::to_string(state.errorPosition) + " m";
    }
    line += ": ";
    line += compiler::error_meaning(state.errorNumber);
    return line;
}

void Form1::write_texts(const std::filesystem::path& directory) {
    // The two texts are read back and deleted within this run: no need to flush them.
    sources::dati_linea(directory, state_.LineTitle, files::Flush::not_needed);
    sources::dati_treno(directory, state_.LineTitle, state_.TrainCode, files::Flush::not_needed);
    // The three documents are kept: they replace the old ones together, as one set.
    files::OutputSet documents;
    sources::dati_note(documents, directory, state_.LineTitle, state_.TrainCode);
    sources::dati_rallentamenti(documents, directory, state_.LineTitle, state_.TrainCode);
    sources::dati_scheda(documents, directory, state_.LineTitle, state_.TrainCode);
    documents.commit();
}

namespace {

// Every name the build writes must be able to take its file before anything is written: a
// link, a directory, a FIFO, a device or a read-only file at any of them, or a name too long
// for the file system, stops the build with nothing written.
void check_output_names(const std::filesystem::path& directory, const std::string& LineTitle,
                        const std::string& TrainCode) {
    const std::string names[] = {files::line_text_name(LineTitle),
                                 files::train_text_name(LineTitle, TrainCode),
                                 files::notes_name(LineTitle, TrainCode),
                                 files::slowdown_order_name(LineTitle, TrainCode),
                                 files::train_card_name(LineTitle, TrainCode),
                                 files::line_binary_name(LineTitle),
                                 files::scenario_file_name(LineTitle, TrainCode),
                                 files::cell_file_name(LineTitle, TrainCode)};
    for (const auto& name : names) {
        const auto file = files::full_path(directory, name);
        if (auto reason = files::unusable_output_reason(file)) {
            throw files::FileError(file, "replace", *reason + "; nothing was written");
        }
    }
}

}  // namespace

int Form1::Form_Load() {
    state_.LineTitle = sources::kLineTitle;
    state_.TrainCode = sources::kTrainCode;
    desktop_.show_notice(platform::NoticeDesign{});
    try {
        const auto directory = platform::executable_directory();
        // One build at a time in a directory: a second one waits for the first. Holding it,
        // the build first completes or clears what a killed run left there.
        const files::DirectoryLock lock(directory);
        check_output_names(directory, state_.LineTitle, state_.TrainCode);
        // The two texts the build writes and reads back: removed on every way out of the
        // build, a failure or an interrupt included, and by the next writer after a kill.
        std::optional<files::ScratchFiles> texts;
        texts.emplace(directory,
                      std::vector<std::filesystem::path>{
                          files::full_path(directory, files::line_text_name(state_.LineTitle)),
                          files::full_path(directory, files::train_text_name(state_.LineTitle,
                                                                             state_.TrainCode))});
        write_texts(directory);
        const auto result = compiler::memorizza_percorso(state_, directory, 1);
        if (result.fatalError != 0) {
            texts.reset();  // errore ends the program at once
            errore(desktop_, std::to_string(result.fatalError));
        }
    } catch (const std::exception& failure) {
        desktop_.message_box(files::escape_controls(failure.what()));
        desktop_.close();
        return kExitFailure;
    }
    desktop_.close();
    if (state_.errorNumber != 0) {
        std::fprintf(stderr, "%s: %s\n", std::string(platform::kProgramName).c_str(),
                     recorded_fault_line(state_).c_str());
        return kExitRecordedFault;
    }
    return kExitClean;
}

}  // namespace scenario::driver
