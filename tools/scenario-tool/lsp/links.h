#pragma once

#include <vector>

#include "lsp/editor_diagnostics.h"
#include "lsp/editor_places.h"

namespace scenario::tool::lsp {

// Where a place of a text leads, between the two texts of its pair:
// - a record's position: the records of either text that stand on its cell (signal, board,
//   stop, marker, code point, slowdown mark) or give the cell what applies there (the gradient,
//   speed limit, adhesion and span in force), from the cells' holders;
// - a station (its name or position): besides, the records standing within its stop zone; a
//   record within a station's zone: that station;
// - a diagnostic: the other party of a cell fault and the other places its notes name.
std::vector<Location> definitions(const OpenDocument& document, const EditorPlaces& places,
                                  const std::vector<EditorDiagnostic>& diagnostics,
                                  std::size_t offset);

// Every record of either text whose position falls in the same cell as the record under the
// cursor, and for a station those within its zone; with the record itself when asked.
std::vector<Location> references(const OpenDocument& document, const EditorPlaces& places,
                                 std::size_t offset, bool with_declaration);

}  // namespace scenario::tool::lsp
