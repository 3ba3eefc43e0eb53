#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "compiler/model/build_state.h"
#include "diagnostics/diagnostic.h"
#include "io/json.h"

namespace scenario::tool {

// The data of the route page (view/page/DATA.md): what the compile gives (the plan, the
// profile, the kilometric ranges, the texts) and what is said about the texts beside it (the
// objects with their records, the diagnostics), which the caller gathers as RouteAnnotations.

// Where a record stands: `file` is the index of the text in RouteData::texts, lines and columns
// count from 1, endColumn is the column just past the record.
struct SourceSpan {
    std::int32_t file = 0;
    std::int32_t line = 0;
    std::int32_t column = 1;
    std::optional<std::int32_t> endColumn;
};

// A value of an object's `stored` or `details`: the page shows them as written.
using FieldValue =
    std::variant<std::nullptr_t, bool, std::int64_t, std::string, std::vector<std::int64_t>>;
using Fields = std::vector<std::pair<std::string, FieldValue>>;
// Fields by where they are kept: "cell 170", "cells 12 to 40", "entry 3", "plan".
using FieldGroups = std::vector<std::pair<std::string, Fields>>;

struct RouteObject {
    std::string type;                      // "station", "signal", ... as DATA.md names them
    std::optional<std::string> name;       // UTF-8
    std::optional<std::int32_t> position;  // none for a setting of the whole scenario
    std::optional<std::int32_t> end;
    std::vector<std::int32_t> cells;  // the cells, or [first, last] with cellRange
    bool cellRange = false;
    std::optional<SourceSpan> source;
    FieldGroups stored;  // what the compact files hold for it
    // The record's values as read, in the order of its kind's value names (route_data_json
    // writes those once for each kind), and what the page is told beside them.
    std::vector<FieldValue> values;
    Fields details;
};

struct RelatedPlace {
    std::string message;
    std::optional<SourceSpan> source;
    std::optional<std::int32_t> object;
};

struct RouteDiagnostic {
    Severity severity = Severity::error;
    std::string code;
    std::string message;
    std::optional<SourceSpan> source;
    std::optional<std::int32_t> position;
    std::optional<std::int32_t> cell;
    std::optional<std::int32_t> object;  // index in RouteAnnotations::objects
    std::vector<RelatedPlace> related;
    std::vector<std::string> notes;
    std::string hint;
};

// The objects the texts place and the diagnostics, as the page links them to their records.
struct RouteAnnotations {
    std::vector<RouteObject> objects;
    std::vector<RouteDiagnostic> diagnostics;
};

// One of the author's texts: its role ("line" or "train"), its name as shown and its bytes.
struct RouteText {
    std::string role;
    std::string file;        // UTF-8
    std::string_view bytes;  // Windows-1252
};

struct RouteData {
    std::string title;  // UTF-8; "" when unknown
    std::string code;
    // The compile of the texts; none when they could not be compiled at all.
    const compiler::BuildState* state = nullptr;
    std::vector<RouteText> texts;
    RouteAnnotations annotations;
    std::optional<std::string> watch;  // the watch script beside the page, with --watch
    std::string stamp;                 // changes every time the page is written
    std::optional<Json> run;           // the fastest run (its `run` member); none: null
};

// The page's type of objects of a record kind ("mountain span" is "mountain").
std::string_view object_type(std::string_view record_kind);

// The data as one JSON object, in the order of DATA.md.
std::string route_data_json(const RouteData& data);

// The lines of a text as the source panel shows them: cut at each line end (CR LF or a lone
// LF), as UTF-8. A final line end starts no further line.
std::vector<std::string> source_lines(std::string_view windows_1252);

// The turn of the plan at the first metre of each of `cells` cells, in radians per metre
// (below 0 left, above 0 right), recovered from the steps before and after that metre; 0 where
// the plan has no point on either side.
std::vector<double> cell_curvature(const compiler::PathPoints& plan, std::size_t cells);

}  // namespace scenario::tool
