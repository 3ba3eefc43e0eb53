#pragma once

#include <string_view>
#include <vector>

#include "compiler/model/build_state.h"
#include "diagnostics/diagnostic.h"
#include "reading/author_reading.h"
#include "view/route_data.h"

namespace scenario::tool {

// The objects and diagnostics of the route page as the compile and `check` give them today:
// the stations from the scenario table; the signals, boards, slowdowns and code points from
// the cells; the mountain spans from the span lists; the records of the train text's second
// reading (stations, speed limits, slowdowns) for the lines that made them, when the compile
// stored as many stations as that reading finds; and the diagnostics of check, tied to
// the texts by their file names. A reading that reports every record as it reads it will give
// each object its record; the page takes RouteAnnotations from whoever fills them. Without a
// compile (texts that could not be compiled at all) only the diagnostics.
RouteAnnotations annotations_from_compile(const compiler::BuildState* state,
                                          const std::vector<RouteText>& texts,
                                          const std::vector<Diagnostic>& diagnostics,
                                          const AuthorReading* reading = nullptr);

// Where the record on a line stands, given the line's own text: from its first character that
// is not a blank to just past its last.
SourceSpan record_span(std::int32_t file, std::int32_t line, std::string_view line_text);

}  // namespace scenario::tool
