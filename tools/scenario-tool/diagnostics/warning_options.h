#pragma once

#include <string>
#include <vector>

#include "diagnostics/reading_diagnostics.h"

namespace scenario::tool {

// Takes the -Wno-NAME arguments off the others into the options; throws UsageError for a name
// the catalogue has no warning of.
std::vector<std::string> take_warning_options(const std::vector<std::string>& args,
                                              DiagnoseOptions& options);

// The names -Wno- takes: every warning (and note) of the catalogue.
std::vector<std::string> warning_names();

}  // namespace scenario::tool
