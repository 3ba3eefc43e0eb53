#include "diagnostics/diagnostic_json.h"

#include <algorithm>

#include "files/windows_1252.h"
#include "io/json_writer.h"
#include "io/text_encoding.h"

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

void write_place(JsonWriter& json, const SourcePlace& place) {
    if (place.file.empty()) {
        json.key("file").null();
    } else {
        json.key("file").value(place.file);
    }
    json.key("line").value(place.line);
    json.key("column").value(place.column);
}

}  // namespace

void write_json(JsonWriter& json, const std::vector<Diagnostic>& diagnostics) {
    json.key("diagnostics").begin_array();
    for (const auto& d : diagnostics) {
        json.begin_object();
        write_place(json, d.place);
        if (d.place.column > 0) {
            json.key("endColumn").value(d.place.column + std::max(d.place.length, 1));
        } else {
            json.key("endColumn").null();
        }
        json.key("severity").value(severity_name(d.severity));
        json.key("code").value(d.code);
        json.key("message").value(d.message);
        json.key("notes").begin_array();
        for (const auto& note : d.notes) {
            json.begin_object();
            json.key("message").value(note.message);
            write_place(json, note.place);
            json.end_object();
        }
        json.end_array();
        if (!d.hint.empty()) {
            json.key("hint").value(d.hint);
        } else {
            json.key("hint").null();
        }
        if (d.fix) {
            json.key("fix").begin_object();
            json.key("title").value(d.fix->title);
            json.key("replacement").value(files::utf8_from_1252(d.fix->replacement));
            json.end_object();
        } else {
            json.key("fix").null();
        }
        json.key("position").value_or_null(d.position);
        if (d.cell >= 0) {
            json.key("cell").value(d.cell);
        } else {
            json.key("cell").null();
        }
        json.end_object();
    }
    json.end_array();
    const auto count = [&](Severity s) {
        return static_cast<std::int64_t>(
            std::count_if(diagnostics.begin(), diagnostics.end(),
                          [s](const Diagnostic& d) { return d.severity == s; }));
    };
    json.key("errors").value(count(Severity::error));
    json.key("warnings").value(count(Severity::warning));
}

}  // namespace scenario::tool
