#include "lsp/outline.h"

#include "files/windows_1252.h"
#include "lsp/record_lookup.h"

namespace scenario::tool::lsp {

using compiler::ErrorSource;

namespace {

// The protocol's SymbolKind.
constexpr int kNamespace = 3;
constexpr int kField = 8;
constexpr int kProperty = 7;
constexpr int kClass = 5;
constexpr int kFunction = 12;
constexpr int kConstant = 14;
constexpr int kString = 15;
constexpr int kNumber = 16;
constexpr int kEvent = 24;

struct KindSymbol {
    std::string_view kind;
    int symbol;
};
constexpr KindSymbol kSymbols[] = {
    {"station", kClass},    {"signal", kEvent},        {"slowdown", kEvent},
    {"code point", kEvent}, {"sign board", kString},   {"maximum-speed board", kConstant},
    {"gradient", kNumber},  {"speed limit", kNumber},  {"adhesion", kNumber},
    {"curve", kFunction},   {"mountain span", kField},
};

int symbol_kind(std::string_view kind) {
    for (const auto& k : kSymbols) {
        if (k.kind == kind) {
            return k.symbol;
        }
    }
    return kProperty;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The outline's name of a record: what an author looks for in it.
std::string symbol_name(const ReadScenario& s, RecordId id) {
    const auto& kind = s.reading.kind_of(id);
    const auto values = s.reading.values_of(id);
    const auto& r = s.reading.record(id);
    const auto read = [&](std::size_t i) {
        return i < values.size() ? std::to_string(values[i].read) : std::string("?");
    };
    const auto at = " at " + read(0) + " m";
    const std::string k(kind.kind);
    std::string name;
    if (k == "station" || k == "sign board") {
        name = files::utf8_from_1252(trimmed(text_value(s, id, kind.values.size() - 1)));
    } else if (k == "gradient") {
        name = "gradient " + read(1) + " per mille" + at;
    } else if (k == "speed limit") {
        name = read(1) + " km/h" + at;
    } else if (k == "adhesion") {
        name = "adhesion " + read(1) + " %" + at;
    } else if (k == "slowdown") {
        name = "slowdown " + read(1) + " km/h" + at;
    } else if (k == "mountain span") {
        name = "mountain span " + read(0) + " to " + read(1) + " m";
    } else if (k == "curve") {
        name = files::utf8_from_1252(std::string_view(s.file(r.text).bytes())
                                         .substr(r.keyword.offset, r.keyword.length)) +
               at;
    } else if (kind.bound_margin > 0) {
        name = k + at;
    } else {
        name = files::utf8_from_1252(
            std::string_view(s.file(r.text).bytes()).substr(r.keyword.offset, r.keyword.length));
    }
    return name.empty() ? k : name;
}

}  // namespace

std::vector<Section> sections_of(const TextDocument& text) {
    std::vector<Section> sections;
    const std::string_view bytes = text.bytes();
    for (std::int64_t line = 0; line < text.line_count(); ++line) {
        const auto start = text.line_start(line);
        if (!is_header(bytes.substr(start, text.line_end(line) - start))) {
            continue;
        }
        if (!sections.empty()) {
            sections.back().last = line - 1;
        }
        sections.push_back({line, text.line_count() - 1});
    }
    for (auto& section : sections) {
        while (section.last > section.header &&
               text.line_end(section.last) == text.line_start(section.last)) {
            --section.last;
        }
    }
    return sections;
}

json document_symbols(const OpenDocument& document, const EditorPlaces& places, bool hierarchical) {
    const auto& doc = document.text;
    const auto encoding = places.encoding();
    const auto sections = sections_of(doc);
    const auto line_range = [&](std::int64_t first, std::int64_t last) {
        return Range{{first, 0}, doc.position_of(doc.line_end(last), encoding)};
    };
    json top = json::array();
    std::vector<json> children(sections.size(), json::array());
    const auto side = places.side_of(document.uri);
    if (side) {
        const auto& s = places.analysis().scenario;
        for (RecordId id = 0; id < static_cast<RecordId>(s.reading.records().size()); ++id) {
            const auto& r = s.reading.record(id);
            if (r.text != *side) {
                continue;
            }
            const auto values = s.reading.values_of(id);
            const auto first = doc.line_of(r.keyword.offset);
            const auto last = values.empty() ? first : doc.line_of(values.back().field.offset);
            const auto& kind = s.reading.kind_of(id);
            json symbol = {{"name", symbol_name(s, id)},
                           {"detail", std::string(kind.kind)},
                           {"kind", symbol_kind(kind.kind)}};
            const Range whole = line_range(first, last);
            if (hierarchical) {
                symbol["range"] = to_json(whole);
                symbol["selectionRange"] =
                    to_json(doc.range_of(r.keyword.offset, r.keyword.length, encoding));
            } else {
                symbol["location"] = {{"uri", document.uri}, {"range", to_json(whole)}};
            }
            std::size_t in = sections.size();
            for (std::size_t i = 0; i < sections.size(); ++i) {
                if (sections[i].header <= first && first <= sections[i].last) {
                    in = i;
                }
            }
            if (in == sections.size()) {
                top.push_back(std::move(symbol));
            } else {
                if (!hierarchical) {
                    const auto start = doc.line_start(sections[in].header);
                    symbol["containerName"] = files::utf8_from_1252(trimmed(
                        doc.bytes().substr(start, doc.line_end(sections[in].header) - start)));
                }
                children[in].push_back(std::move(symbol));
            }
        }
    }
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const auto start = doc.line_start(sections[i].header);
        const auto name = document.text.unicode(start, doc.line_end(sections[i].header) - start);
        json section = {{"name", trimmed(name)}, {"kind", kNamespace}};
        const Range whole = line_range(sections[i].header, sections[i].last);
        if (hierarchical) {
            section["range"] = to_json(whole);
            section["selectionRange"] = to_json(line_range(sections[i].header, sections[i].header));
            section["children"] = std::move(children[i]);
            top.push_back(std::move(section));
        } else {
            section["location"] = {{"uri", document.uri}, {"range", to_json(whole)}};
            top.push_back(std::move(section));
            for (auto& child : children[i]) {
                top.push_back(std::move(child));
            }
        }
    }
    return top;
}

json folding_ranges(const OpenDocument& document) {
    json ranges = json::array();
    for (const auto& section : sections_of(document.text)) {
        if (section.last > section.header) {
            ranges.push_back(
                {{"startLine", section.header}, {"endLine", section.last}, {"kind", "region"}});
        }
    }
    return ranges;
}

}  // namespace scenario::tool::lsp
