#include "lsp/editor_diagnostics.h"

#include <algorithm>
#include <cstdio>

#include "files/windows_1252.h"

namespace scenario::tool::lsp {

using compiler::ErrorSource;

namespace {

// More characters the texts cannot hold than this are told as a count.
constexpr std::size_t kUnsavableShown = 100;

// The section headings of the format reference as its page's anchors: small letters, words
// joined by '-', everything but letters, digits, '-' and '_' left out.
std::string slug(std::string_view heading) {
    std::string out;
    for (const char c : heading) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-' || c == '_') {
            out += static_cast<char>(std::tolower(byte));
        } else if (c == ' ') {
            out += '-';
        }
    }
    return out;
}

int severity_number(Severity severity) {
    switch (severity) {
        case Severity::error:
            return 1;
        case Severity::warning:
            return 2;
        case Severity::note:
            break;
    }
    return 3;
}

std::string character_name(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return code;
}

}  // namespace

std::string record_anchor(std::string_view kind) {
    for (const auto& record : compiler::kRecordDescriptions) {
        if (record.kind == kind) {
            return slug(std::string(record.kind) + ": " + std::string(record.keyword));
        }
    }
    return {};
}

std::string code_link(const Diagnostic& diagnostic, std::string_view reference_page) {
    if (reference_page.empty() || diagnostic.code.empty()) {
        return {};
    }
    const auto anchor = compiler::is_fault(diagnostic.id)
                            ? slug("Errors")
                            : slug("What the build does to what you write");
    return std::string(reference_page) + "#" + anchor;
}

std::vector<EditorDiagnostic> editor_diagnostics(const OpenDocument& document,
                                                 const EditorPlaces& places) {
    std::vector<EditorDiagnostic> items;
    const auto& analysis = places.analysis();
    const auto side = places.side_of(document.uri);
    if (side) {
        // The scenario's own diagnostics go with the line text while it is open.
        const bool takes_whole =
            *side == ErrorSource::line_text || analysis.line.origin != Origin::editor;
        for (const auto& d : analysis.diagnostics) {
            EditorDiagnostic item;
            item.diagnostic = &d;
            if (d.place.file == document.uri) {
                if (const auto offset = places.offset_of(d.place)) {
                    item.offset = *offset;
                    item.length = d.place.column > 0
                                      ? static_cast<std::size_t>(std::max(d.place.length, 0))
                                      : 0;
                    item.range =
                        document.text.range_of(item.offset, item.length, places.encoding());
                }
            } else if (!d.place.file.empty() || !takes_whole) {
                continue;
            }
            items.push_back(item);
        }
    }
    const auto& foreign = document.text.foreign();
    for (std::size_t i = 0; i < std::min(foreign.size(), kUnsavableShown); ++i) {
        EditorDiagnostic item;
        item.offset = foreign[i].offset;
        item.length = 1;
        item.range = document.text.range_of(item.offset, 1, places.encoding());
        item.unsavable = foreign[i].character;
        items.push_back(item);
    }
    return items;
}

json to_json(const EditorDiagnostic& item, const EditorPlaces& places,
             std::string_view reference_page) {
    json out;
    out["range"] = to_json(item.range);
    out["source"] = "scenario-tool";
    if (item.diagnostic == nullptr) {
        std::string shown;
        append_utf8(shown, item.unsavable);
        out["severity"] = severity_number(Severity::warning);
        out["code"] = "unsavable-character";
        out["message"] = "'" + shown + "' (" + character_name(item.unsavable) +
                         ") cannot be saved in Windows-1252, the texts' encoding: the build "
                         "reads '?' in its place";
        return out;
    }
    const auto& d = *item.diagnostic;
    out["severity"] = severity_number(d.severity);
    if (!d.code.empty()) {
        if (compiler::is_fault(d.id)) {
            out["code"] = compiler::number_of(d.id);
        } else {
            out["code"] = d.code;
        }
        if (const auto link = code_link(d, reference_page); !link.empty()) {
            out["codeDescription"] = {{"href", link}};
        }
    }
    std::string message = d.message;
    json related = json::array();
    for (const auto& note : d.notes) {
        const auto location = note.place.in_text() ? places.of(note.place) : std::nullopt;
        if (location) {
            related.push_back(
                {{"location", {{"uri", location->uri}, {"range", to_json(location->range)}}},
                 {"message", note.message}});
        } else {
            message += "\nnote: " + note.message;
        }
    }
    if (!d.hint.empty()) {
        message += "\nhelp: " + d.hint;
    }
    out["message"] = message;
    if (!related.empty()) {
        out["relatedInformation"] = std::move(related);
    }
    return out;
}

json quick_fixes(const OpenDocument& document, const std::vector<EditorDiagnostic>& items,
                 const Range& range, const EditorPlaces& places, std::string_view reference_page) {
    const auto first = document.text.offset_of(range.start, places.encoding());
    const auto last = document.text.offset_of(range.end, places.encoding());
    json actions = json::array();
    for (const auto& item : items) {
        if (item.diagnostic == nullptr || !item.diagnostic->fix ||
            item.offset > std::max(first, last) ||
            item.offset + item.length < std::min(first, last)) {
            continue;
        }
        const auto& fix = *item.diagnostic->fix;
        if (fix.offset + std::size_t{fix.length} > document.text.bytes().size()) {
            continue;
        }
        json edit = {
            {"range", to_json(document.text.range_of(fix.offset, fix.length, places.encoding()))},
            {"newText", files::utf8_from_1252(fix.replacement)}};
        actions.push_back({{"title", fix.title},
                           {"kind", "quickfix"},
                           {"isPreferred", true},
                           {"diagnostics", json::array({to_json(item, places, reference_page)})},
                           {"edit", {{"changes", {{document.uri, json::array({edit})}}}}}});
    }
    return actions;
}

}  // namespace scenario::tool::lsp
