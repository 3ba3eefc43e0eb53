#include "view/route_data.h"

#include <algorithm>
#include <cmath>

#include "compiler/readers/record_descriptions.h"
#include "io/json.h"
#include "io/text_encoding.h"
#include "view/plan_detail.h"

#ifndef SCENARIO_VERSION
#define SCENARIO_VERSION "unknown"
#endif

namespace scenario::tool {

namespace {

using compiler::BuildState;

constexpr std::int32_t kCell = 50;
// progressive_ordina adds this to the kilometric value of a range of sense 1; the page shows
// the value as the text writes it.
constexpr std::int32_t kDecreasingRangeOffset = 100;
constexpr int kCoordinateDecimals = 3;  // millimetres: far below the finest level's 0.25 m
constexpr int kCurvatureDecimals = 7;   // the finest class turns 0.0001 a metre
constexpr int kHeightDecimals = 2;

struct KindType {
    std::string_view kind;  // as the record descriptions name it
    std::string_view type;  // as the page's data names it
};
constexpr KindType kTypes[] = {
    {"route length", "route-length"},
    {"kilometric range", "kilometric-range"},
    {"scenery", "scenery"},
    {"signal repetition", "signal-repetition"},
    {"gradient", "gradient"},
    {"curve", "curve"},
    {"mountain span", "mountain"},
    {"maximum-speed board", "speed-board"},
    {"sign board", "sign-board"},
    {"braked mass", "braked-mass"},
    {"coaches", "coaches"},
    {"speed limit", "speed-limit"},
    {"adhesion", "adhesion"},
    {"clock", "clock"},
    {"sand", "sand"},
    {"signal", "signal"},
    {"slowdown", "slowdown"},
    {"code point", "code-point"},
    {"station", "station"},
};

Json value_json(const FieldValue& value) {
    return std::visit(
        [](const auto& v) -> Json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                return json_string(v);
            } else {
                return v;
            }
        },
        value);
}

Json fields_json(const Fields& fields) {
    Json object = Json::object();
    for (const auto& [name, value] : fields) {
        object[name] = value_json(value);
    }
    return object;
}

// [file, line, column] or [file, line, column, endColumn]: every object has one, and the
// longest line's page holds some ten thousand.
Json span_json(const std::optional<SourceSpan>& span) {
    if (!span) {
        return nullptr;
    }
    Json place = Json::array({span->file, span->line, span->column});
    if (span->endColumn) {
        place.push_back(*span->endColumn);
    }
    return place;
}

Json sources_json(const std::vector<RouteText>& texts) {
    Json sources = Json::array();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        Json lines = Json::array();
        for (const auto& line : source_lines(texts[i].bytes)) {
            lines.push_back(json_string(line));
        }
        sources.push_back(Json{{"id", i},
                               {"role", json_string(texts[i].role)},
                               {"file", json_string(texts[i].file)},
                               {"lines", std::move(lines)}});
    }
    return sources;
}

Json plan_json(const compiler::PathPoints& plan) {
    const auto levels = plan_levels(plan);
    if (levels.empty() || levels.front().points.empty()) {
        return nullptr;
    }
    const auto& finest = levels.front().points;
    double min_x = finest.front().x, max_x = min_x, min_y = finest.front().y, max_y = min_y;
    for (const auto& p : finest) {
        min_x = std::min(min_x, p.x);
        max_x = std::max(max_x, p.x);
        min_y = std::min(min_y, p.y);
        max_y = std::max(max_y, p.y);
    }
    Json bbox = Json::array();
    for (const double v : {min_x, min_y, max_x, max_y}) {
        bbox.push_back(json_rounded(v, kCoordinateDecimals));
    }
    Json levels_json = Json::array();
    for (const auto& level : levels) {
        Json points = Json::array();
        for (const auto& p : level.points) {
            points.push_back(Json::array({p.metre, json_rounded(p.x, kCoordinateDecimals),
                                          json_rounded(p.y, kCoordinateDecimals)}));
        }
        levels_json.push_back(
            Json{{"tolerance", json_number(level.tolerance)}, {"points", std::move(points)}});
    }
    return Json{{"bbox", std::move(bbox)}, {"levels", std::move(levels_json)}};
}

template <class Get>
Json cells_json(const BuildState& state, Get get) {
    Json values = Json::array();
    for (const auto& cell : state.cells) {
        values.push_back(get(cell));
    }
    return values;
}

Json profile_json(const BuildState& state) {
    using compiler::TrackCell;
    Json profile = Json::object();
    profile["gradient"] = cells_json(
        state, [](const TrackCell& c) { return static_cast<std::int32_t>(c.gradientCode) - 100; });
    profile["speed"] = cells_json(
        state, [](const TrackCell& c) { return static_cast<std::int32_t>(c.speedStep) * 5; });
    profile["adhesion"] = cells_json(state, [](const TrackCell& c) { return c.adhesion; });
    profile["span"] = cells_json(state, [](const TrackCell& c) { return c.spanKind; });
    Json curvature = Json::array();
    for (const double k : cell_curvature(state.plan, state.cells.size())) {
        curvature.push_back(json_rounded(k, kCurvatureDecimals));
    }
    profile["curvature"] = std::move(curvature);
    Json heights = Json::array();
    double height = 0;
    for (const auto& cell : state.cells) {
        heights.push_back(json_rounded(height, kHeightDecimals));
        height += (static_cast<double>(cell.gradientCode) - 100) / 1000 * kCell;
    }
    profile["height"] = std::move(heights);
    return profile;
}

Json kilometric_json(const BuildState& state) {
    struct Range {
        std::int32_t start, value, sense;
        std::size_t entry;
    };
    std::vector<Range> ranges;
    for (std::size_t i = compiler::entry::range_tre; i <= compiler::entry::range_uno; ++i) {
        const auto& e = state.locations[i];
        if (e.zoneStart == 0 && e.zoneEnd == 0 && e.position == 0) {
            continue;
        }
        const std::int32_t value = e.position == 1 ? e.zoneEnd - kDecreasingRangeOffset : e.zoneEnd;
        ranges.push_back({e.zoneStart, value, e.position, i});
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const Range& a, const Range& b) { return a.start < b.start; });
    Json list = Json::array();
    for (const auto& r : ranges) {
        list.push_back(
            Json{{"start", r.start}, {"value", r.value}, {"sense", r.sense}, {"entry", r.entry}});
    }
    return list;
}

// The names of each kind's values, once: an object lists its values in this order.
Json value_names_json() {
    Json names = Json::object();
    for (const auto& kind : compiler::kRecordDescriptions) {
        Json list = Json::array();
        for (const auto& v : kind.values) {
            list.push_back(json_string(v.name));
        }
        names[std::string(object_type(kind.kind))] = std::move(list);
    }
    return names;
}

Json objects_json(const std::vector<RouteObject>& objects) {
    Json list = Json::array();
    for (const auto& o : objects) {
        Json object = {{"type", json_string(o.type)}};
        if (o.name) {
            object["name"] = json_string(*o.name);
        }
        object["position"] = json_or_null(o.position);
        if (o.end) {
            object["end"] = *o.end;
        }
        object["cells"] = o.cells;
        if (o.cellRange) {
            object["cellRange"] = true;
        }
        object["source"] = span_json(o.source);
        Json stored = Json::object();
        for (const auto& [where, fields] : o.stored) {
            stored[where] = fields_json(fields);
        }
        object["stored"] = std::move(stored);
        if (!o.values.empty()) {
            Json values = Json::array();
            for (const auto& v : o.values) {
                values.push_back(value_json(v));
            }
            object["values"] = std::move(values);
        }
        if (!o.details.empty()) {
            object["details"] = fields_json(o.details);
        }
        list.push_back(std::move(object));
    }
    return list;
}

// Adds "diagnostics" and their "counts" to the data.
void add_diagnostics(Json& data, const std::vector<RouteDiagnostic>& diagnostics) {
    std::int64_t errors = 0, warnings = 0;
    Json list = Json::array();
    for (const auto& d : diagnostics) {
        (d.severity == Severity::error ? errors : warnings) += 1;
        Json related = Json::array();
        for (const auto& r : d.related) {
            related.push_back(Json{{"message", json_string(r.message)},
                                   {"source", span_json(r.source)},
                                   {"object", json_or_null(r.object)}});
        }
        Json notes = Json::array();
        for (const auto& n : d.notes) {
            notes.push_back(json_string(n));
        }
        Json diagnostic = {{"severity", d.severity == Severity::error ? "error" : "warning"},
                           {"code", json_string(d.code)},
                           {"message", json_string(d.message)},
                           {"source", span_json(d.source)},
                           {"position", json_or_null(d.position)},
                           {"cell", json_or_null(d.cell)},
                           {"object", json_or_null(d.object)},
                           {"related", std::move(related)},
                           {"notes", std::move(notes)}};
        if (!d.hint.empty()) {
            diagnostic["hint"] = json_string(d.hint);
        }
        list.push_back(std::move(diagnostic));
    }
    data["diagnostics"] = std::move(list);
    data["counts"] = {{"errors", errors}, {"warnings", warnings}};
}

}  // namespace

std::string_view object_type(std::string_view record_kind) {
    for (const auto& t : kTypes) {
        if (t.kind == record_kind) {
            return t.type;
        }
    }
    return record_kind;
}

std::vector<std::string> source_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        auto end = text.find('\n', begin);
        const bool last = end == std::string_view::npos;
        if (last) {
            end = text.size();
        }
        auto line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(utf8_from_1252(line));
        begin = last ? text.size() : end + 1;
    }
    return lines;
}

std::vector<double> cell_curvature(const compiler::PathPoints& plan, std::size_t cells) {
    std::vector<double> turns(cells, 0.0);
    if (!plan.allocated()) {
        return turns;
    }
    const auto& xs = plan.axis[0];
    const auto& ys = plan.axis[1];
    const auto set = [&](std::size_t m) {
        return m < xs.tags.size() && xs.tags[m] != compiler::PlanTag::empty &&
               ys.tags[m] != compiler::PlanTag::empty;
    };
    for (std::size_t c = 1; c < cells; ++c) {
        const std::size_t m = c * kCell;
        if (!set(m - 1) || !set(m) || !set(m + 1)) {
            continue;
        }
        const double dx = xs.values[m] - xs.values[m - 1];
        const double dy = ys.values[m] - ys.values[m - 1];
        const double nx = xs.values[m + 1] - xs.values[m];
        const double ny = ys.values[m + 1] - ys.values[m];
        const double length2 = dx * dx + dy * dy;
        // The reader turns each step by k: next = (dx + k dy, dy - k dx).
        if (length2 > 0) {
            turns[c] = ((nx - dx) * dy - (ny - dy) * dx) / length2;
        }
    }
    return turns;
}

std::string route_data_json(const RouteData& data) {
    const BuildState* state = data.state;
    const bool cells = state != nullptr && state->has_cells();
    Json json = {
        {"format", 2},
        {"generator", "scenario-tool " SCENARIO_VERSION},
        {"title", json_string(data.title)},
        {"code", json_string(data.code)},
        {"routeLength", state ? state->locations[compiler::entry::train].zoneEnd : 0},
        {"lastCell", cells ? state->last_cell() : 0},
        {"watch", json_or_null(data.watch)},
        {"stamp", json_string(data.stamp)},
        {"sources", sources_json(data.texts)},
        {"plan", state != nullptr ? plan_json(state->plan) : Json(nullptr)},
        {"profile", cells ? profile_json(*state) : Json::object()},
        {"kilometric", state != nullptr ? kilometric_json(*state) : Json::array()},
        {"valueNames", value_names_json()},
        {"objects", objects_json(data.annotations.objects)},
    };
    add_diagnostics(json, data.annotations.diagnostics);
    json["run"] = data.run ? *data.run : Json(nullptr);
    return json_text(json);
}

}  // namespace scenario::tool
