#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scenario::tool {

enum class Severity : std::uint8_t { error, warning };

// One problem of an author's text, as compilers report them: where, how bad, what, and the
// notes and the hint that help to mend it.
struct Diagnostic {
    std::string file;         // as the author named it (UTF-8); empty for the scenario as a whole
    std::int32_t line = 0;    // 1-based; 0 when no line applies
    std::int32_t column = 0;  // 1-based, in bytes of the line; 0 when no column applies
    Severity severity = Severity::error;
    std::string code;     // the error number, or the warning's name
    std::string message;  // UTF-8
    std::vector<std::string> notes;
    std::string hint;                      // "help: ..." when there is one
    std::string source_line;               // the line's bytes (Windows-1252), for the caret
    std::optional<std::int32_t> position;  // metres along the route, where the problem lies
};

// "FILE:LINE:COL: error N: message" or "FILE:LINE:COL: warning: message [-WNAME]", then the
// source line with a caret under the column, then the notes and the hint; in colour if asked.
std::string render_text(const std::vector<Diagnostic>& diagnostics, bool colour);

// {"diagnostics": [{file, line, column, severity, code, message, notes, hint}...],
//  "errors": N, "warnings": N}, the members of one object, without its braces, so that a
// command can add its own.
void write_json(class JsonWriter& json, const std::vector<Diagnostic>& diagnostics);

// Whether to colour: --color=always|never|auto, auto meaning standard error is a terminal.
bool colour_wanted(const std::string& choice);

}  // namespace scenario::tool
