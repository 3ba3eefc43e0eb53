#pragma once

#include "lsp/editor_places.h"
#include "lsp/protocol.h"

namespace scenario::tool::lsp {

// The sections of a text, each from its header to the line before the next one (protocol
// lines).
struct Section {
    std::int64_t header = 0;
    std::int64_t last = 0;
};
std::vector<Section> sections_of(const TextDocument& text);

// The outline: each section with the records read in it (stations by name, signals, slowdowns,
// boards, profile changes, curves, spans, general settings); flat SymbolInformation for a
// client that takes no hierarchy.
json document_symbols(const OpenDocument& document, const EditorPlaces& places, bool hierarchical);

// A folding range for each section.
json folding_ranges(const OpenDocument& document);

}  // namespace scenario::tool::lsp
