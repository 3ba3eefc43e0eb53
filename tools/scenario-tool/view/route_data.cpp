#include "view/route_data.h"

#include <algorithm>
#include <cmath>

#include "io/json_writer.h"
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

void write_value(JsonWriter& json, const FieldValue& value) {
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::nullptr_t>) {
                json.null();
            } else if constexpr (std::is_same_v<T, std::vector<std::int64_t>>) {
                json.begin_array();
                for (const auto n : v) {
                    json.value(n);
                }
                json.end_array();
            } else {
                json.value(v);
            }
        },
        value);
}

void write_fields(JsonWriter& json, const Fields& fields) {
    json.begin_object();
    for (const auto& [name, value] : fields) {
        json.key(name);
        write_value(json, value);
    }
    json.end_object();
}

void write_span(JsonWriter& json, const std::optional<SourceSpan>& span) {
    if (!span) {
        json.null();
        return;
    }
    json.begin_object();
    json.key("file").value(span->file);
    json.key("line").value(span->line);
    json.key("column").value(span->column);
    if (span->endColumn) {
        json.key("endColumn").value(*span->endColumn);
    }
    json.end_object();
}

template <class T>
void write_optional(JsonWriter& json, const std::optional<T>& value) {
    if (value) {
        json.value(*value);
    } else {
        json.null();
    }
}

void write_sources(JsonWriter& json, const std::vector<RouteText>& texts) {
    json.key("sources").begin_array();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        json.begin_object();
        json.key("id").value(i);
        json.key("role").value(texts[i].role);
        json.key("file").value(texts[i].file);
        json.key("lines").begin_array();
        for (const auto& line : source_lines(texts[i].bytes)) {
            json.value(line);
        }
        json.end_array();
        json.end_object();
    }
    json.end_array();
}

void write_plan(JsonWriter& json, const compiler::PathPoints& plan) {
    json.key("plan");
    const auto levels = plan_levels(plan);
    if (levels.empty() || levels.front().points.empty()) {
        json.null();
        return;
    }
    const auto& finest = levels.front().points;
    double min_x = finest.front().x, max_x = min_x, min_y = finest.front().y, max_y = min_y;
    for (const auto& p : finest) {
        min_x = std::min(min_x, p.x);
        max_x = std::max(max_x, p.x);
        min_y = std::min(min_y, p.y);
        max_y = std::max(max_y, p.y);
    }
    json.begin_object();
    json.key("bbox").begin_array();
    for (const double v : {min_x, min_y, max_x, max_y}) {
        json.rounded(v, kCoordinateDecimals);
    }
    json.end_array();
    json.key("levels").begin_array();
    for (const auto& level : levels) {
        json.begin_object();
        json.key("tolerance").value(level.tolerance);
        json.key("points").begin_array();
        for (const auto& p : level.points) {
            json.begin_array().value(p.metre);
            json.rounded(p.x, kCoordinateDecimals).rounded(p.y, kCoordinateDecimals);
            json.end_array();
        }
        json.end_array();
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

template <class Get>
void write_cells(JsonWriter& json, const char* name, const BuildState& state, Get get) {
    json.key(name).begin_array();
    for (const auto& cell : state.cells) {
        json.value(get(cell));
    }
    json.end_array();
}

void write_profile(JsonWriter& json, const BuildState& state) {
    using compiler::TrackCell;
    json.key("profile").begin_object();
    write_cells(json, "gradient", state,
                [](const TrackCell& c) { return static_cast<std::int32_t>(c.gradientCode) - 100; });
    write_cells(json, "speed", state,
                [](const TrackCell& c) { return static_cast<std::int32_t>(c.speedStep) * 5; });
    write_cells(json, "adhesion", state, [](const TrackCell& c) { return c.adhesion; });
    write_cells(json, "span", state, [](const TrackCell& c) { return c.spanKind; });
    json.key("curvature").begin_array();
    for (const double k : cell_curvature(state.plan, state.cells.size())) {
        json.rounded(k, kCurvatureDecimals);
    }
    json.end_array();
    json.key("height").begin_array();
    double height = 0;
    for (const auto& cell : state.cells) {
        json.rounded(height, kHeightDecimals);
        height += (static_cast<double>(cell.gradientCode) - 100) / 1000 * kCell;
    }
    json.end_array();
    json.end_object();
}

void write_kilometric(JsonWriter& json, const BuildState& state) {
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
    json.key("kilometric").begin_array();
    for (const auto& r : ranges) {
        json.begin_object();
        json.key("start").value(r.start);
        json.key("value").value(r.value);
        json.key("sense").value(r.sense);
        json.key("entry").value(r.entry);
        json.end_object();
    }
    json.end_array();
}

void write_objects(JsonWriter& json, const std::vector<RouteObject>& objects) {
    json.key("objects").begin_array();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const auto& o = objects[i];
        json.begin_object();
        json.key("id").value(i);
        json.key("type").value(o.type);
        if (o.name) {
            json.key("name").value(*o.name);
        }
        json.key("position").value(o.position);
        if (o.end) {
            json.key("end").value(*o.end);
        }
        json.key("cells").begin_array();
        for (const auto c : o.cells) {
            json.value(c);
        }
        json.end_array();
        if (o.cellRange) {
            json.key("cellRange").value(true);
        }
        json.key("source");
        write_span(json, o.source);
        json.key("stored");
        write_fields(json, o.stored);
        json.key("details");
        write_fields(json, o.details);
        json.end_object();
    }
    json.end_array();
}

void write_diagnostics(JsonWriter& json, const std::vector<RouteDiagnostic>& diagnostics) {
    std::int64_t errors = 0, warnings = 0;
    json.key("diagnostics").begin_array();
    for (const auto& d : diagnostics) {
        (d.severity == Severity::error ? errors : warnings) += 1;
        json.begin_object();
        json.key("severity").value(d.severity == Severity::error ? "error" : "warning");
        json.key("code").value(d.code);
        json.key("message").value(d.message);
        json.key("source");
        write_span(json, d.source);
        json.key("position");
        write_optional(json, d.position);
        json.key("cell");
        write_optional(json, d.cell);
        json.key("object");
        write_optional(json, d.object);
        json.key("related").begin_array();
        for (const auto& r : d.related) {
            json.begin_object();
            json.key("message").value(r.message);
            json.key("source");
            write_span(json, r.source);
            json.key("object");
            write_optional(json, r.object);
            json.end_object();
        }
        json.end_array();
        json.key("notes").begin_array();
        for (const auto& n : d.notes) {
            json.value(n);
        }
        json.end_array();
        if (!d.hint.empty()) {
            json.key("hint").value(d.hint);
        }
        json.end_object();
    }
    json.end_array();
    json.key("counts").begin_object();
    json.key("errors").value(errors);
    json.key("warnings").value(warnings);
    json.end_object();
}

}  // namespace

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
    JsonWriter json;
    const BuildState* state = data.state;
    const bool cells = state != nullptr && state->has_cells();
    json.begin_object();
    json.key("format").value(1);
    json.key("generator").value("scenario-tool " SCENARIO_VERSION);
    json.key("title").value(data.title);
    json.key("code").value(data.code);
    json.key("routeLength").value(state ? state->locations[compiler::entry::train].zoneEnd : 0);
    json.key("lastCell").value(cells ? state->last_cell() : 0);
    json.key("watch");
    write_optional(json, data.watch);
    json.key("stamp").value(data.stamp);
    write_sources(json, data.texts);
    if (state != nullptr) {
        write_plan(json, state->plan);
    } else {
        json.key("plan").null();
    }
    if (cells) {
        write_profile(json, *state);
    } else {
        json.key("profile").begin_object().end_object();
    }
    if (state != nullptr) {
        write_kilometric(json, *state);
    } else {
        json.key("kilometric").begin_array().end_array();
    }
    write_objects(json, data.annotations.objects);
    write_diagnostics(json, data.annotations.diagnostics);
    json.key("run").null();
    json.end_object();
    return json.text();
}

}  // namespace scenario::tool
