#include "lsp/completion.h"

#include <algorithm>
#include <set>

#include "files/windows_1252.h"
#include "lsp/record_lookup.h"

namespace scenario::tool::lsp {

using compiler::ErrorSource;
using compiler::RecordDescription;
using compiler::SourceTextKind;

namespace {

// The protocol's CompletionItemKind.
constexpr int kModule = 9;
constexpr int kValue = 12;
constexpr int kKeyword = 14;
constexpr int kEnumMember = 20;

constexpr std::string_view kLineHeaders[] = {
    "[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]", "[fine]"};
constexpr std::string_view kTrainHeaders[] = {"[generale]", "[aderenze]",      "[vel_limite]",
                                              "[stazioni]", "[rallentamenti]", "[segnali]",
                                              "[codici]",   "[fine]"};

// The values a field takes where they are few, with what each means.
struct Choice {
    std::string_view value;
    std::string_view meaning;
};
struct FieldChoices {
    std::string_view kind;
    std::size_t field;
    std::span<const Choice> choices;
};

constexpr Choice kFlag[] = {{"0", "no"}, {"1", "yes"}};
constexpr Choice kSense[] = {{"0", "the reading increases with the position"},
                             {"1", "the reading decreases as the position grows"}};
constexpr Choice kSpanKinds[] = {{"1", "kind 1"},
                                 {"2", "kind 2"},
                                 {"11", "kind 1, with a marker every fourth cell"},
                                 {"12", "kind 2, with a marker every fourth cell"}};
constexpr Choice kStationKinds[] = {
    {"4",
     "a stop: the zone half the platform on each side (the stations of departure and "
     "arrival)"},
    {"5",
     "a short halt: the zone from a platform length before to 150 m after; no approach "
     "marks"},
    {"6", "as 5"},
    {"7", "the zone a platform length on each side"},
    {"8", "as 7"},
    {"11", "a stop"},
    {"12", "a stop"},
    {"22", "a stop"},
    {"23", "a stop"},
    {"27", "passed without a stop (every kind from 25 on): no stop cell"}};
constexpr Choice kLeftLight[] = {{"1", "a signal"}, {"2", "a signal that keeps its time"}};

constexpr FieldChoices kFieldChoices[] = {
    {"kilometric range", 2, kSense}, {"mountain span", 2, kSpanKinds},
    {"station", 1, kStationKinds},   {"station", 3, kFlag},
    {"station", 4, kFlag},           {"station", 5, kFlag},
    {"station", 7, kFlag},           {"station", 8, kFlag},
    {"station", 10, kFlag},          {"station", 11, kFlag},
    {"slowdown", 3, kFlag},          {"slowdown", 4, kFlag},
    {"slowdown", 5, kFlag},          {"signal", 1, kLeftLight},
};

bool contains_word(std::string_view field, std::string_view word, compiler::KeywordMatch match) {
    if (word.empty()) {
        return true;
    }
    if (match == compiler::KeywordMatch::exact) {
        return field.find(word) != std::string_view::npos;
    }
    return files::to_lower_1252(field).find(files::to_lower_1252(word)) != std::string::npos;
}

// The kind a keyword field is read as in this text, by the readers' own words.
const RecordDescription* kind_of_keyword(std::string_view field, SourceTextKind text) {
    for (const auto& record : compiler::kRecordDescriptions) {
        if (record.text == text && contains_word(field, record.words[0], record.match) &&
            contains_word(field, record.words[1], record.match)) {
            return &record;
        }
    }
    return nullptr;
}

// The keywords an author writes for a kind: the three kilometric ranges and sceneries, both
// code systems, every hand and class of a curve.
std::vector<std::string> keywords_of(const RecordDescription& record) {
    if (record.kind == "kilometric range") {
        return {"progressiva chilometrica uno", "progressiva chilometrica due",
                "progressiva chilometrica tre"};
    }
    if (record.kind == "scenery") {
        return {"sfondo uno", "sfondo due", "sfondo tre"};
    }
    if (record.kind == "signal repetition") {
        return {"ripetizione segnali 9 codici", "ripetizione segnali 4 codici"};
    }
    if (record.kind == "curve") {
        std::vector<std::string> all;
        for (const char hand : {'s', 'd'}) {
            for (char digit = '1'; digit <= '6'; ++digit) {
                all.push_back(std::string("curva") + hand + digit);
            }
        }
        return all;
    }
    return {std::string(record.keyword)};
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

json item(std::string label, int kind, std::string detail, const Range& replaced,
          std::string documentation = {}) {
    json out = {{"label", label},
                {"kind", kind},
                {"detail", std::move(detail)},
                {"textEdit", {{"range", to_json(replaced)}, {"newText", label}}}};
    if (!documentation.empty()) {
        out["documentation"] = {{"kind", "markdown"}, {"value", std::move(documentation)}};
    }
    return out;
}

}  // namespace

json completion_items(const OpenDocument& document, const EditorPlaces& places,
                      const Position& position) {
    json items = json::array();
    const auto side =
        document.kind == TextKind::line ? ErrorSource::line_text : ErrorSource::train_text;
    const auto text =
        side == ErrorSource::line_text ? SourceTextKind::line_text : SourceTextKind::train_text;
    const auto& doc = document.text;
    const std::size_t start = doc.line_start(position.line);
    const std::size_t cursor = doc.offset_of(position, places.encoding());
    if (cursor < start) {
        return items;
    }
    const std::string_view prefix = std::string_view(doc.bytes()).substr(start, cursor - start);
    const auto comma = prefix.find(',');
    if (comma == std::string_view::npos) {
        // A keyword's place: what the current section reads, and the headers.
        const auto typed_from = start + (prefix.find_first_not_of(" \t") == std::string_view::npos
                                             ? prefix.size()
                                             : prefix.find_first_not_of(" \t"));
        const Range replaced{doc.position_of(typed_from, places.encoding()), position};
        std::string section;
        bool general_seen = false;
        for (auto line = position.line - 1; line >= 0; --line) {
            const auto text_of_line =
                std::string_view(doc.bytes())
                    .substr(doc.line_start(line), doc.line_end(line) - doc.line_start(line));
            if (!is_header(text_of_line)) {
                continue;
            }
            if (section.empty()) {
                section = files::to_lower_1252(trimmed(text_of_line));
            }
            if (files::to_lower_1252(text_of_line).find("[generale]") != std::string::npos) {
                general_seen = true;
                break;
            }
        }
        const std::span<const std::string_view> headers =
            text == SourceTextKind::line_text ? std::span<const std::string_view>(kLineHeaders)
                                              : std::span<const std::string_view>(kTrainHeaders);
        for (std::size_t i = 0; i < headers.size(); ++i) {
            auto header = item(std::string(headers[i]), kModule, "section header", replaced);
            header["sortText"] = "2" + std::to_string(10 + i);
            items.push_back(std::move(header));
        }
        if (!general_seen) {
            return items;  // nothing before [generale] is read
        }
        const bool known_section = std::any_of(
            std::begin(compiler::kRecordDescriptions), std::end(compiler::kRecordDescriptions),
            [&](const RecordDescription& r) { return r.text == text && r.section == section; });
        for (const auto& record : compiler::kRecordDescriptions) {
            if (record.text != text) {
                continue;
            }
            bool fits = !known_section || record.section == section;
            if (text == SourceTextKind::line_text) {
                // The line text's general section reads its own kinds alone, and only there.
                const bool general_kind = record.scope == compiler::RecordScope::general_section;
                fits = section == "[generale]" ? general_kind : fits && !general_kind;
            }
            if (!fits) {
                continue;
            }
            for (auto& keyword : keywords_of(record)) {
                auto entry = item(keyword, kKeyword,
                                  std::string(record.kind) + ": " + std::string(record.meaning),
                                  replaced, "`" + std::string(record.example) + "`");
                entry["sortText"] = "1" + keyword;
                items.push_back(std::move(entry));
            }
        }
        return items;
    }
    // A value's place: the kind by its keyword, the field by the commas before the cursor.
    const auto* record = kind_of_keyword(prefix.substr(0, comma), text);
    if (record == nullptr) {
        return items;
    }
    const auto field = static_cast<std::size_t>(std::count(prefix.begin(), prefix.end(), ',') - 1);
    const auto last_comma = prefix.rfind(',');
    const auto typed = prefix.substr(last_comma + 1);
    const auto blanks = typed.find_first_not_of(" \t");
    const std::size_t typed_from =
        start + last_comma + 1 + (blanks == std::string_view::npos ? typed.size() : blanks);
    const Range replaced{doc.position_of(typed_from, places.encoding()), position};
    for (const auto& choices : kFieldChoices) {
        if (choices.kind != record->kind || choices.field != field) {
            continue;
        }
        for (const auto& choice : choices.choices) {
            items.push_back(
                item(std::string(choice.value), kEnumMember,
                     std::string(record->values[field].name) + ": " + std::string(choice.meaning),
                     replaced));
        }
    }
    if (record->kind == "station" && field + 1 == record->values.size()) {
        const auto& s = places.analysis().scenario;
        std::set<std::string> names;
        for (RecordId id = 0; id < static_cast<RecordId>(s.reading.records().size()); ++id) {
            if (s.reading.record(id).text == ErrorSource::train_text &&
                s.reading.kind_of(id).kind == "station") {
                const auto name = trimmed(text_value(s, id, record->values.size() - 1));
                if (!name.empty()) {
                    names.insert(files::utf8_from_1252(name));
                }
            }
        }
        for (const auto& name : names) {
            items.push_back(item(name, kValue, "a station of this train text", replaced));
        }
    }
    return items;
}

}  // namespace scenario::tool::lsp
