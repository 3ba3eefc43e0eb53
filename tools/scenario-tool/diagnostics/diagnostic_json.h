#pragma once

#include <vector>

#include "diagnostics/diagnostic.h"

namespace scenario::tool {

class JsonWriter;

// {"diagnostics": [{file, line, column, endColumn, severity, code, message, notes, hint, fix,
// position, cell}...], "errors": N, "warnings": N}: the members of one object, without its
// braces, so that a command can add its own. Each note is {message, file, line, column}.
void write_json(JsonWriter& json, const std::vector<Diagnostic>& diagnostics);

}  // namespace scenario::tool
