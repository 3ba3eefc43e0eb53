#include "diagnostics/diagnostic_json.h"

#include <algorithm>

#include "files/windows_1252.h"
#include "io/json.h"

namespace scenario::tool {

namespace {

const char* severity_name(Severity severity) {
    switch (severity) {
        case Severity::error:
            return "error";
        case Severity::warning:
            return "warning";
        case Severity::note:
            break;
    }
    return "note";
}

void add_place(Json& object, const SourcePlace& place) {
    object["file"] = place.file.empty() ? Json(nullptr) : json_string(place.file);
    object["line"] = place.line;
    object["column"] = place.column;
}

}  // namespace

void write_json(Json& object, const std::vector<Diagnostic>& diagnostics) {
    Json list = Json::array();
    for (const auto& d : diagnostics) {
        Json entry = Json::object();
        add_place(entry, d.place);
        entry["endColumn"] =
            d.place.column > 0 ? Json(d.place.column + std::max(d.place.length, 1)) : Json(nullptr);
        entry["severity"] = severity_name(d.severity);
        entry["code"] = json_string(d.code);
        entry["message"] = json_string(d.message);
        Json notes = Json::array();
        for (const auto& note : d.notes) {
            Json n = {{"message", json_string(note.message)}};
            add_place(n, note.place);
            notes.push_back(std::move(n));
        }
        entry["notes"] = std::move(notes);
        entry["hint"] = d.hint.empty() ? Json(nullptr) : json_string(d.hint);
        entry["fix"] =
            d.fix ? Json{{"title", json_string(d.fix->title)},
                         {"replacement", json_string(files::utf8_from_1252(d.fix->replacement))}}
                  : Json(nullptr);
        entry["position"] = json_or_null(d.position);
        entry["cell"] = d.cell >= 0 ? Json(d.cell) : Json(nullptr);
        list.push_back(std::move(entry));
    }
    object["diagnostics"] = std::move(list);
    const auto count = [&](Severity s) {
        return static_cast<std::int64_t>(
            std::count_if(diagnostics.begin(), diagnostics.end(),
                          [s](const Diagnostic& d) { return d.severity == s; }));
    };
    object["errors"] = count(Severity::error);
    object["warnings"] = count(Severity::warning);
}

}  // namespace scenario::tool
