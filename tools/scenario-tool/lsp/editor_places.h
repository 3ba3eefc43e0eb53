#pragma once

#include <optional>
#include <string>

#include "diagnostics/diagnostic.h"
#include "lsp/text_document.h"
#include "lsp/workspace.h"

namespace scenario::tool::lsp {

struct Location {
    std::string uri;
    Range range;
};

// Turns the places of one reading (byte offsets, and the reading's lines, which end only at
// LF) into the editor's locations (the protocol's lines and characters).
class EditorPlaces {
  public:
    EditorPlaces(const Analysis& analysis, const Workspace& workspace, PositionEncoding encoding)
        : analysis_(analysis), workspace_(workspace), encoding_(encoding) {}

    const TextDocument* text(compiler::ErrorSource side) const;
    // The side a uri names in this reading, or none.
    std::optional<compiler::ErrorSource> side_of(const std::string& uri) const;

    std::optional<Location> of(compiler::ErrorSource side, std::size_t offset,
                               std::size_t length) const;
    std::optional<Location> of(compiler::ErrorSource side, const compiler::FieldSpan& span) const {
        return of(side, span.offset, span.length);
    }
    // A place of a diagnostic or a note; a place without a column spans its line.
    std::optional<Location> of(const SourcePlace& place) const;
    // The byte offset of a place of the reading.
    std::optional<std::size_t> offset_of(const SourcePlace& place) const;

    PositionEncoding encoding() const { return encoding_; }
    const Analysis& analysis() const { return analysis_; }

  private:
    const Analysis& analysis_;
    const Workspace& workspace_;
    PositionEncoding encoding_;
};

}  // namespace scenario::tool::lsp
