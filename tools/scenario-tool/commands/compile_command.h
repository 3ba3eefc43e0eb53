#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>

#include "cli/command_description.h"
#include "diagnostics/compile_report.h"
#include "io/output_guard.h"
#include "running_time/run_settings.h"

namespace scenario::tool {

// One compile as the author asks for it.
struct CompileRequest {
    std::filesystem::path line_text;   // the author's line description
    std::filesystem::path train_text;  // the author's train service text
    std::string LineTitle;             // Windows-1252, as it goes into the files
    std::string TrainCode;
    std::filesystem::path out_directory;
    bool with_plan = true;          // memorizza_percorso(1); --no-plan is memorizza_percorso(0)
    running_time::RunSettings run;  // the train the report's timetable warnings assume
};

// Compiles copies of the two texts in a private directory through the builder's own driver and
// moves the compact files into the output directory when the driver wrote them. The author's
// texts are only read. Throws EnvironmentError (nothing written) when an input cannot be read,
// the output directory cannot be written or an output would replace an input, and UsageError
// for names that cannot name files.
// `rules` are the author's --no-lock and --force.
CompileReport compile_texts(const CompileRequest& request, const WriteRules& rules = {});

const CommandDescription& compile_description();

// `scenario-tool compile ...`: parses the arguments, compiles, reports; returns the exit status.
int compile_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
