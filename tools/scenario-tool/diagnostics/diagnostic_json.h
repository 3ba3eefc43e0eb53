#pragma once

#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "diagnostics/diagnostic.h"

namespace scenario::tool {

// Adds "diagnostics": [{file, line, column, endColumn, severity, code, message, notes, hint,
// fix, position, cell}...], "errors": N and "warnings": N to an object, so that a command can
// add its own members. Each note is {message, file, line, column}; a fix is {title,
// replacement}.
void write_json(nlohmann::ordered_json& object, const std::vector<Diagnostic>& diagnostics);

}  // namespace scenario::tool
