#pragma once

#include "lsp/editor_places.h"
#include "lsp/protocol.h"

namespace scenario::tool::lsp {

// The completion items at a place of a text: in a keyword's place, the keywords of the current
// section of this text and the section headers; in a value's place, the values the field takes
// where they are few (flags, the sense, station kinds, span kinds, the signal's light) and the
// station names of the train text where a name goes.
json completion_items(const OpenDocument& document, const EditorPlaces& places,
                      const Position& position);

}  // namespace scenario::tool::lsp
