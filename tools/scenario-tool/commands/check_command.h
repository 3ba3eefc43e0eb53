#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_description.h"
#include "diagnostics/reading_diagnostics.h"

namespace scenario::tool {

// The names -Wno- takes: the warnings (and notes) of the diagnostic catalogue. -Wno- refuses
// any other name and the completion offers these.
std::span<const std::string_view> warning_names();

const CommandDescription& check_description();

// Every problem of the two texts as check reports them: read once in check mode, said once
// each; two texts given the other way round are said as such, and only that.
std::vector<Diagnostic> check_files(const std::filesystem::path& line_file,
                                    const std::filesystem::path& train_file,
                                    const DiagnoseOptions& options);

// `scenario-tool check --line FILE --train FILE [--json] [--strict] [-Wno-NAME ...]
// [--color=WHEN] [--all] [--error-limit N]`: every problem of the two texts, writing nothing;
// returns the exit status.
int check_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
