#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/model/diagnostic_catalogue.h"

namespace scenario::tool {

using compiler::Severity;

// A place in one of the author's texts, as it is shown: the file as the author named it
// (UTF-8), 1-based line, 1-based column in bytes, and the bytes the place spans.
struct SourcePlace {
    std::string file;  // empty for the scenario as a whole
    std::int32_t line = 0;
    std::int32_t column = 0;
    std::int32_t length = 0;
    std::string source_line;  // the line's bytes (Windows-1252), for the caret

    bool in_text() const { return line > 0; }
};

// A note that goes with a diagnostic: the other party of a cell fault, where the build stops,
// what a count of collapsed diagnostics holds. With a place it is shown as "FILE:L:C: note:".
struct Note {
    std::string message;  // UTF-8
    SourcePlace place;
};

// A mend the tool can make itself: these bytes of the text replaced by others.
struct Fix {
    std::string title;         // "replace with 'pendenza'"
    std::uint32_t offset = 0;  // in the text's bytes
    std::uint32_t length = 0;
    std::string replacement;  // Windows-1252 bytes
};

// One problem of an author's text, as compilers report them: where, how bad, what, and the
// notes, the hint and the fix that help to mend it.
struct Diagnostic {
    compiler::Diag id = compiler::Diag::first_warning;
    SourcePlace place;
    Severity severity = Severity::error;
    std::string code;     // the error number, or the warning's name
    std::string message;  // UTF-8
    std::vector<Note> notes;
    std::string hint;  // "help: ..." when there is one
    std::optional<Fix> fix;
    std::optional<std::int32_t> position;  // metres along the route, where the problem lies
    std::int32_t cell = -1;                // the cell concerned, -1 for none
    compiler::ErrorSource text = compiler::ErrorSource::none;  // the text of its place
    // Diagnostics that share this are one cause told many times (records in a general section
    // that no header closed); empty for none.
    std::string cause;
};

// "FILE:LINE:COL: error N: message" or "FILE:LINE:COL: warning: message [-WNAME]", then the
// source line with a caret (and tildes under the span) below the column, then the notes (with
// their places, lines and carets) and the hint; in colour if asked.
std::string render_text(const std::vector<Diagnostic>& diagnostics, bool colour);

// "1 error and 2 warnings generated.", or nothing when there are none.
std::string closing_line(const std::vector<Diagnostic>& diagnostics);

// Whether to colour: --color=always|never|auto, auto meaning standard error is a terminal.
bool colour_wanted(const std::string& choice);

}  // namespace scenario::tool
