#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lsp/editor_places.h"
#include "lsp/protocol.h"

namespace scenario::tool::lsp {

// What the hover over a place of a text tells, as Markdown: the record's kind and the field
// under the cursor (name, unit, range and meaning), the value as the build stores it where that
// differs from what is written, the cell and its metres, and what applies there (speed limit,
// gradient, curve, adhesion, mountain span, the next signal and the next station). Nothing
// where no record stands.
std::optional<std::string> hover_text(const OpenDocument& document, const EditorPlaces& places,
                                      std::size_t offset, std::string_view reference_page);

// What applies at a position of the route, one line each.
std::string what_applies(const Analysis& analysis, std::int64_t position, RecordId except);

}  // namespace scenario::tool::lsp
