#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/command_description.h"
#include "diagnostics/diagnostic.h"
#include "running_time/fastest_run.h"
#include "running_time/timetable.h"

namespace scenario::tool {

struct RunRequest {
    std::filesystem::path line_text;
    std::filesystem::path train_text;
    running_time::TrainParameters train;
    double margin_note = running_time::kDefaultMarginNote;  // share of the scheduled time
};

// The texts' run: the line it ran on and the run; or, when the texts do not compile without a
// fault, the diagnostics that say why.
struct RunReport {
    std::vector<Diagnostic> faults;
    running_time::LineProfile profile;
    running_time::RunResult run;
};

// Reads both texts as the build does and, when they compile without a fault, makes the fastest
// run. Throws EnvironmentError for a text that cannot be read.
RunReport run_texts(const RunRequest& request);

const CommandDescription& run_description();

// `scenario-tool run [--line FILE] [--train FILE] [--project FILE] [--json] [--margin-note
// PERCENT] [train options]`: the timetable set against the fastest run, station by station, with
// the project's [run] under the options; returns the exit status.
int run_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
