#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "lsp/editor_places.h"
#include "lsp/protocol.h"

namespace scenario::tool::lsp {

// A diagnostic of the reading as one open text shows it.
struct EditorDiagnostic {
    const Diagnostic* diagnostic = nullptr;  // none for a character the texts cannot hold
    Range range;
    std::size_t offset = 0;  // where it stands in the text's bytes
    std::size_t length = 0;
    char32_t unsavable = 0;
};

// The diagnostics of a reading that stand in one of its texts (those of the scenario as a whole
// on the line text, or on the train text when the line text is not open), then one for each
// character the text cannot hold in Windows-1252.
std::vector<EditorDiagnostic> editor_diagnostics(const OpenDocument& document,
                                                 const EditorPlaces& places);

// Where the format reference explains a diagnostic's code, given the page's URI; empty for no
// page.
std::string code_link(const Diagnostic& diagnostic, std::string_view reference_page);
// The anchor of a record kind's section in the format reference: "gradient-pendenza".
std::string record_anchor(std::string_view kind);

// The protocol's Diagnostic.
json to_json(const EditorDiagnostic& item, const EditorPlaces& places,
             std::string_view reference_page);

// The quick fixes of the diagnostics of a text that meet a range: the mend each diagnostic
// carries, as a CodeAction with its edit.
json quick_fixes(const OpenDocument& document, const std::vector<EditorDiagnostic>& items,
                 const Range& range, const EditorPlaces& places, std::string_view reference_page);

}  // namespace scenario::tool::lsp
