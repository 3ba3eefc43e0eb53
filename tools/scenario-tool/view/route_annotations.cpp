#include "view/route_annotations.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>

#include "compiler/model/layouts.h"
#include "compiler/model/track_cell.h"
#include "files/windows_1252.h"
#include "io/text_encoding.h"
#include "view/scenario_view.h"

namespace scenario::tool {

namespace {

using compiler::CellUse;
using compiler::ErrorSource;
using compiler::LocationEntry;
using compiler::RecordEnd;
using compiler::TrackCell;
using compiler::ValueWidth;
namespace entry = compiler::entry;

constexpr std::int32_t kCell = 50;
constexpr std::int64_t kFirstKindWithoutStop = 25;
// The build adds this to the kilometric value of a range of sense 1 when it orders the ranges.
constexpr std::int32_t kDecreasingRangeOffset = 100;

// What of a cell each use writes, by the names of the cell's layout; the first is shown even
// when it is 0, the others only when they are not.
struct UseFields {
    CellUse use;
    std::array<std::string_view, 6> fields;
};
constexpr UseFields kUseFields[] = {
    {CellUse::object, {"kind", "ref", "ref2", "ref3", "ref4", "signalTime"}},
    {CellUse::stop, {"kind", "ref"}},
    {CellUse::approach_mark, {"approachMark"}},
    {CellUse::span, {"spanKind"}},
    {CellUse::marker, {"kind"}},
    {CellUse::gradient, {"gradientCode"}},
    {CellUse::speed, {"speedStep"}},
    {CellUse::adhesion, {"adhesion"}},
};

// The settings of the whole scenario and where the scenario table keeps them.
struct SettingEntry {
    std::string_view kind;
    std::size_t entry;
    std::array<std::string_view, 3> fields;
};
constexpr SettingEntry kSettingEntries[] = {
    {"route length", entry::train, {"zoneEnd"}},
    {"braked mass", entry::train, {"zoneStart"}},
    {"coaches", entry::train, {"position"}},
    {"scenery", entry::scenery, {"zoneStart", "position", "zoneEnd"}},
    {"signal repetition", entry::repetition, {"zoneStart", "zoneEnd", "position"}},
    {"clock", entry::repetition, {"param10", "param11", "param12"}},
    {"sand", entry::repetition, {"param7"}},
};

// The radius of each class of curve, tested "1" first as the line reader tests the keyword.
constexpr std::pair<char, std::int64_t> kCurveRadii[] = {{'1', 10000}, {'2', 5000}, {'3', 2500},
                                                         {'4', 1000},  {'5', 500},  {'6', 333}};

// One field of a record of the compact files, read through its layout.
struct LayoutField {
    std::string_view name;
    std::int64_t number = 0;
    const std::string* text = nullptr;

    FieldValue shown() const {
        return text != nullptr ? FieldValue{utf8_from_1252(*text)} : FieldValue{number};
    }
    bool zero() const { return text == nullptr && number == 0; }
};

template <class Record, class Layout>
std::vector<LayoutField> layout_fields(const Record& record, const Layout& layout) {
    std::vector<LayoutField> fields;
    std::apply(
        [&](const auto&... f) {
            (
                [&] {
                    const auto& member = record.*(f.member);
                    LayoutField v{f.name};
                    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(member)>,
                                                 std::string>) {
                        v.text = &member;
                    } else {
                        v.number = static_cast<std::int64_t>(member);
                    }
                    fields.push_back(v);
                }(),
                ...);
        },
        layout);
    return fields;
}

// The fields of a table entry: those named, or every one.
Fields entry_fields(const LocationEntry& e, std::span<const std::string_view> named = {}) {
    Fields out;
    for (const auto& f : layout_fields(e, compiler::location_layout)) {
        if (named.empty() || std::find(named.begin(), named.end(), f.name) != named.end()) {
            out.emplace_back(std::string(f.name), f.shown());
        }
    }
    return out;
}

Fields cell_fields(const TrackCell& cell, CellUse use) {
    Fields out;
    for (const auto& u : kUseFields) {
        if (u.use != use) {
            continue;
        }
        for (const auto& f : layout_fields(cell, compiler::cell_layout)) {
            const auto at = std::find(u.fields.begin(), u.fields.end(), f.name);
            if (at != u.fields.end() && (at == u.fields.begin() || !f.zero())) {
                out.emplace_back(std::string(f.name), f.shown());
            }
        }
    }
    return out;
}

// "cell 7", "cells 7 to 9", "cells 162, 164, 166"
std::string cells_text(const std::vector<std::int32_t>& cells) {
    std::string text = cells.size() == 1 ? "cell " : "cells ";
    for (std::size_t i = 0; i < cells.size();) {
        std::size_t j = i;
        while (j + 1 < cells.size() && cells[j + 1] == cells[j] + 1) {
            ++j;
        }
        text += (i == 0 ? "" : ", ") + std::to_string(cells[i]);
        if (j > i + 1) {
            text += " to " + std::to_string(cells[j]);
        } else if (j == i + 1) {
            text += ", " + std::to_string(cells[j]);
        }
        i = j + 1;
    }
    return text;
}

std::string time_of_day(std::int64_t h, std::int64_t m, std::int64_t s) {
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(h),
                  static_cast<long long>(m), static_cast<long long>(s));
    return text;
}

// Why the build left a record out, for the author.
std::string not_placed_reason(const ReadRecord& r) {
    if (!r.ended) {
        return "its reading did not end";
    }
    switch (r.end) {
        case RecordEnd::placed:
            break;
        case RecordEnd::refused:
            return "it lies too near the end of the route";
        case RecordEnd::stopped:
            return "a fault stops the build's reading here";
        case RecordEnd::unreadable:
            return "a value could not be read";
        case RecordEnd::skipped:
            return "it is read only with the plan";
    }
    return {};
}

std::int32_t to_int32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

class Annotator {
  public:
    explicit Annotator(const ReadScenario& s) : s_(s), reading_(s.reading), state_(s.state) {}

    std::vector<RouteObject> objects() {
        gather_cells();
        match_station_entries();
        const auto count = static_cast<RecordId>(reading_.records().size());
        for (RecordId id = 0; id < count; ++id) {
            out_.push_back(object_of(id));
        }
        profile_ends();
        for (const auto c : pass_cells_) {
            out_.push_back(pass_code_point(c));
        }
        return std::move(out_);
    }

  private:
    std::string_view bytes_of(ErrorSource text, const compiler::FieldSpan& f) const {
        return std::string_view(s_.file(text).bytes()).substr(f.offset, f.length);
    }

    // Who holds each cell, once: the cells of every record by use, and the pass's code points.
    void gather_cells() {
        held_.resize(reading_.records().size());
        for (const auto& u : kUseFields) {
            for (std::int32_t c = 0; c <= state_.last_cell(); ++c) {
                const RecordId h = reading_.holder(u.use, c);
                if (h >= 0 && static_cast<std::size_t>(h) < held_.size()) {
                    held_[static_cast<std::size_t>(h)].emplace_back(u.use, c);
                } else if (h == kSignallingPass && u.use == CellUse::object) {
                    pass_cells_.push_back(c);
                }
            }
        }
    }

    // The stations fill the table from entry 1 in the order they are read; a station the build
    // did not keep is overwritten by the next one, so each takes the entry that holds its values.
    void match_station_entries() {
        std::int32_t k = 1;
        const auto count = static_cast<RecordId>(reading_.records().size());
        for (RecordId id = 0; id < count && k <= state_.stationCount; ++id) {
            const auto values = reading_.values_of(id);
            if (reading_.kind_of(id).kind != "station" || values.size() < 17) {
                continue;
            }
            const auto& e = state_.locations[static_cast<std::size_t>(k)];
            if (e.position == values[0].read &&
                e.name == bytes_of(ErrorSource::train_text, values[16].field)) {
                station_entry_[id] = k++;
            }
        }
    }

    std::optional<std::size_t> range_entry(std::span<const ReadValue> values) const {
        if (values.size() < 3) {
            return std::nullopt;
        }
        for (std::size_t i = entry::range_tre; i <= entry::range_uno; ++i) {
            const auto& e = state_.locations[i];
            const std::int64_t value =
                e.position == 1 ? e.zoneEnd - kDecreasingRangeOffset : e.zoneEnd;
            if (e.zoneStart == values[0].read && value == values[1].read &&
                e.position == values[2].read) {
                return i;
            }
        }
        return std::nullopt;
    }

    // From the keyword to the end of the last value on its line.
    SourceSpan span_of(RecordId id) const {
        const auto& r = reading_.record(id);
        SourceSpan span;
        span.file = r.text == ErrorSource::line_text ? 0 : 1;
        span.line = r.keyword.place.line;
        span.column = std::max(1, r.keyword.place.column);
        std::int32_t end = span.column + static_cast<std::int32_t>(r.keyword.length);
        for (const auto& v : reading_.values_of(id)) {
            if (v.field.place.line == span.line && v.field.length > 0) {
                end =
                    std::max(end, v.field.place.column + static_cast<std::int32_t>(v.field.length));
            }
        }
        span.endColumn = end;
        return span;
    }

    // The cells a record holds, grouped by use and by what they store.
    void add_cells(RouteObject& o, RecordId id) const {
        const auto& held = held_[static_cast<std::size_t>(id)];
        std::vector<std::int32_t> all;
        for (const auto& u : kUseFields) {
            std::vector<std::pair<Fields, std::vector<std::int32_t>>> groups;
            for (const auto& [use, c] : held) {
                if (use != u.use) {
                    continue;
                }
                all.push_back(c);
                auto fields = cell_fields(state_.cells[static_cast<std::size_t>(c)], use);
                const auto same = std::find_if(groups.begin(), groups.end(),
                                               [&](const auto& g) { return g.first == fields; });
                if (same != groups.end()) {
                    same->second.push_back(c);
                } else {
                    groups.emplace_back(std::move(fields), std::vector<std::int32_t>{c});
                }
            }
            for (auto& [fields, cells] : groups) {
                o.stored.emplace_back(cells_text(cells), std::move(fields));
            }
        }
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        if (all.size() > 2 &&
            all.back() - all.front() + 1 == static_cast<std::int32_t>(all.size())) {
            o.cells = {all.front(), all.back()};
            o.cellRange = true;
        } else {
            o.cells = std::move(all);
        }
    }

    RouteObject object_of(RecordId id) {
        const auto& r = reading_.record(id);
        const auto& kind = reading_.kind_of(id);
        const auto values = reading_.values_of(id);
        const auto number = [&](std::size_t i) -> std::optional<std::int64_t> {
            if (i < values.size() && i < kind.values.size() &&
                kind.values[i].width != ValueWidth::text) {
                return values[i].read;
            }
            return std::nullopt;
        };
        const auto text = [&](std::size_t i) -> std::optional<std::string> {
            if (i < values.size()) {
                return utf8_from_1252(bytes_of(r.text, values[i].field));
            }
            return std::nullopt;
        };

        RouteObject o;
        o.type = object_type(kind.kind);
        o.source = span_of(id);
        for (std::size_t i = 0; i < values.size() && i < kind.values.size(); ++i) {
            o.values.push_back(kind.values[i].width == ValueWidth::text
                                   ? FieldValue{*text(i)}
                                   : FieldValue{values[i].read});
        }
        if (kind.kind == "route length") {
            o.position = 0;
            if (const auto length = number(0)) {
                o.end = to_int32(*length);
            }
        } else if (!kind.values.empty() && kind.values[0].unit == "m" && number(0)) {
            o.position = to_int32(*number(0));
        }
        const bool placed = r.ended && r.end == RecordEnd::placed;
        add_cells(o, id);

        if (kind.kind == "curve") {
            curve(o, id, placed, number(1));
        } else if (kind.kind == "mountain span" || kind.kind == "signal repetition") {
            if (number(1)) {
                o.end = to_int32(*number(1));
            }
        } else if (kind.kind == "slowdown") {
            if (o.position && number(2)) {
                o.end = to_int32(*o.position + *number(2));
            }
            restricted(o, id);
        } else if (kind.kind == "sign board") {
            o.name = text(1);
            sign_board_entry(o);
        } else if (kind.kind == "station") {
            station(o, id, values);
        } else if (kind.kind == "kilometric range") {
            if (const auto e = range_entry(values)) {
                constexpr std::string_view kRangeFields[] = {"zoneStart", "zoneEnd", "position"};
                o.stored.insert(o.stored.begin(),
                                {"entry " + std::to_string(*e),
                                 entry_fields(state_.locations[*e], kRangeFields)});
            }
        }
        for (const auto& setting : kSettingEntries) {
            if (setting.kind == kind.kind) {
                std::vector<std::string_view> named;
                for (const auto f : setting.fields) {
                    if (!f.empty()) {
                        named.push_back(f);
                    }
                }
                o.stored.insert(o.stored.begin(),
                                {"entry " + std::to_string(setting.entry),
                                 entry_fields(state_.locations[setting.entry], named)});
            }
        }
        if (!placed) {
            o.details.emplace_back("notPlaced", not_placed_reason(r));
        }
        return o;
    }

    void curve(RouteObject& o, RecordId id, bool placed, std::optional<std::int64_t> length) {
        if (o.position && length) {
            o.end = to_int32(*o.position + *length);
        }
        const auto& r = reading_.record(id);
        const auto keyword = files::to_lower_1252(bytes_of(r.text, r.keyword));
        o.details.emplace_back("hand", keyword.find('s') != std::string::npos ? "s" : "d");
        for (const auto& [digit, radius] : kCurveRadii) {
            if (keyword.find(digit) != std::string::npos) {
                o.details.emplace_back("class", std::int64_t{digit - '0'});
                o.details.emplace_back("radius", radius);
                break;
            }
        }
        if (placed && o.position && o.end && state_.plan.allocated()) {
            o.stored.push_back(
                {"plan", {{"first metre", std::int64_t{*o.position} + 1}, {"last metre", *o.end}}});
        }
    }

    // Where the simulator restricts the speed: the metres of the cells from the slowdown's
    // start board to its end board, both included; its boards stand on the cells after the
    // positions the text gives.
    void restricted(RouteObject& o, RecordId id) const {
        std::optional<std::int32_t> start, end;
        for (const auto& [use, c] : held_[static_cast<std::size_t>(id)]) {
            const auto kind = state_.cells[static_cast<std::size_t>(c)].kind;
            if (use == CellUse::object && kind == compiler::cell_kind::slowdown_start) {
                start = c;
            } else if (use == CellUse::object && kind == compiler::cell_kind::slowdown_end) {
                end = c;
            }
        }
        if (start && end && *start <= *end) {
            o.details.emplace_back("restricted",
                                   std::vector<std::int64_t>{std::int64_t{*start} * kCell,
                                                             (std::int64_t{*end} + 1) * kCell});
        }
    }

    void sign_board_entry(RouteObject& o) const {
        for (const auto c : o.cells) {
            const auto& cell = state_.cells[static_cast<std::size_t>(c)];
            if (cell.kind == compiler::cell_kind::sign_board && cell.ref > 0 &&
                static_cast<std::size_t>(cell.ref) < state_.locations.size()) {
                o.stored.insert(
                    o.stored.begin(),
                    {"entry " + std::to_string(cell.ref),
                     {{"name", utf8_from_1252(
                                   state_.locations[static_cast<std::size_t>(cell.ref)].name)}}});
                return;
            }
        }
    }

    void station(RouteObject& o, RecordId id, std::span<const ReadValue> values) {
        if (values.size() >= 17) {
            o.name = utf8_from_1252(bytes_of(ErrorSource::train_text, values[16].field));
        }
        if (values.size() >= 16) {
            const auto h = values[13].read, m = values[14].read, s = values[15].read;
            o.details.emplace_back("time", h == 0 && m == 0 && s == 0
                                               ? FieldValue{nullptr}
                                               : FieldValue{time_of_day(h, m, s)});
        }
        if (values.size() >= 2) {
            o.details.emplace_back("stops", values[1].read < kFirstKindWithoutStop);
        }
        const auto found = station_entry_.find(id);
        if (found != station_entry_.end()) {
            const auto& e = state_.locations[static_cast<std::size_t>(found->second)];
            o.end = e.zoneEnd;
            o.details.emplace_back("zone", std::vector<std::int64_t>{e.zoneStart, e.zoneEnd});
            o.stored.insert(o.stored.begin(),
                            {"entry " + std::to_string(found->second), entry_fields(e)});
        }
    }

    // A gradient, speed limit or adhesion holds from its position to the next one placed of its
    // kind, the last one to the end of the cells it fills.
    void profile_ends() {
        std::map<std::string_view, std::size_t> open;
        for (std::size_t i = 0; i < out_.size(); ++i) {
            auto& o = out_[i];
            const auto& r = reading_.record(static_cast<RecordId>(i));
            if ((o.type != "gradient" && o.type != "speed-limit" && o.type != "adhesion") ||
                !r.ended || r.end != RecordEnd::placed || !o.position) {
                continue;
            }
            if (const auto before = open.find(o.type); before != open.end()) {
                out_[before->second].end = o.position;
            }
            o.end = o.cells.empty() ? *o.position : (o.cells.back() + 1) * kCell;
            open[o.type] = i;
        }
    }

    RouteObject pass_code_point(std::int32_t c) const {
        const auto& cell = state_.cells[static_cast<std::size_t>(c)];
        RouteObject o;
        o.type = "code-point";
        o.position = c * kCell;
        o.cells = {c};
        o.stored = {{cells_text({c}), cell_fields(cell, CellUse::object)}};
        o.details = {{"code", std::int64_t{cell.ref}}, {"placedBy", "signalling"}};
        return o;
    }

    const ReadScenario& s_;
    const AuthorReading& reading_;
    const compiler::BuildState& state_;
    std::vector<std::vector<std::pair<CellUse, std::int32_t>>> held_;
    std::vector<std::int32_t> pass_cells_;
    std::map<RecordId, std::int32_t> station_entry_;
    std::vector<RouteObject> out_;
};

// The records by their line, to find the one at a diagnostic's place.
class RecordsByLine {
  public:
    RecordsByLine(const ReadScenario& s, const std::vector<RouteObject>& objects) : s_(s) {
        if (objects.empty()) {
            return;
        }
        const auto count = static_cast<RecordId>(s.reading.records().size());
        for (RecordId id = 0; id < count; ++id) {
            const auto& r = s.reading.record(id);
            by_line_[{r.text, r.keyword.place.line}].push_back(id);
        }
        objects_ = &objects;
    }

    // The text a place is in, by its file's name.
    std::optional<ErrorSource> text_of(const SourcePlace& place) const {
        if (!place.in_text()) {
            return std::nullopt;
        }
        if (place.file == s_.line.name()) {
            return ErrorSource::line_text;
        }
        if (place.file == s_.train.name()) {
            return ErrorSource::train_text;
        }
        return std::nullopt;
    }

    std::optional<SourceSpan> span(const SourcePlace& place) const {
        const auto text = text_of(place);
        if (!text) {
            return std::nullopt;
        }
        SourceSpan span;
        span.file = *text == ErrorSource::line_text ? 0 : 1;
        span.line = place.line;
        span.column = std::max(1, place.column);
        if (place.length > 0) {
            span.endColumn = span.column + place.length;
        }
        return span;
    }

    // The record on the place's line whose span holds its column, else the line's first.
    std::optional<std::int32_t> object_at(const SourcePlace& place) const {
        const auto text = text_of(place);
        if (!text || objects_ == nullptr) {
            return std::nullopt;
        }
        const auto found = by_line_.find({*text, place.line});
        if (found == by_line_.end()) {
            return std::nullopt;
        }
        for (const auto id : found->second) {
            const auto& source = (*objects_)[static_cast<std::size_t>(id)].source;
            if (source && source->column <= place.column &&
                place.column < source->endColumn.value_or(source->column + 1)) {
                return id;
            }
        }
        return found->second.front();
    }

  private:
    const ReadScenario& s_;
    const std::vector<RouteObject>* objects_ = nullptr;
    std::map<std::pair<ErrorSource, std::int32_t>, std::vector<RecordId>> by_line_;
};

RouteDiagnostic tied_diagnostic(const Diagnostic& d, const RecordsByLine& records,
                                const std::vector<RouteObject>& objects) {
    RouteDiagnostic r;
    r.severity = d.severity;
    r.code = d.code;
    r.message = d.message;
    r.hint = d.hint;
    r.source = records.span(d.place);
    r.object = records.object_at(d.place);
    r.position = d.position;
    if (d.cell >= 0) {
        r.cell = d.cell;
    }
    if (r.object) {
        const auto& o = objects[static_cast<std::size_t>(*r.object)];
        if (!r.position) {
            r.position = o.position;
        }
        if (!r.cell && !o.cells.empty()) {
            r.cell = o.cells.front();
        }
    }
    for (const auto& note : d.notes) {
        if (note.place.in_text()) {
            r.related.push_back(
                {note.message, records.span(note.place), records.object_at(note.place)});
        } else {
            r.notes.push_back(note.message);
        }
    }
    return r;
}

}  // namespace

RouteAnnotations annotations_from_reading(const ReadScenario& scenario,
                                          const std::vector<Diagnostic>& diagnostics) {
    RouteAnnotations annotations;
    if (scenario.state.has_cells()) {
        annotations.objects = Annotator(scenario).objects();
    }
    const RecordsByLine records(scenario, annotations.objects);
    for (const auto& d : diagnostics) {
        annotations.diagnostics.push_back(tied_diagnostic(d, records, annotations.objects));
    }
    return annotations;
}

namespace {

// The page's type of an object a cell holds on its own, by the cell's kind.
std::optional<std::string_view> compiled_type(std::uint8_t kind) {
    switch (kind) {
        case compiler::cell_kind::signal:
            return "signal";
        case compiler::cell_kind::speed_board:
            return "speed-board";
        case compiler::cell_kind::code_point:
        case compiler::cell_kind::code_point_cancel:
            return "code-point";
        case compiler::cell_kind::sign_board:
            return "sign-board";
        default:
            return std::nullopt;
    }
}

}  // namespace

RouteAnnotations annotations_from_compiled(const compiler::BuildState& state) {
    RouteAnnotations annotations;
    auto& out = annotations.objects;
    const auto& cells = state.cells;
    const auto cell_count = static_cast<std::int32_t>(cells.size());
    // The objects a cell holds, at the position the text wrote: a cell c holds what stands
    // at (c - 1) * 50 m.
    std::int32_t warning = -1;  // the open slowdown's cells; -1: none
    std::int32_t start = -1;
    for (std::int32_t c = 1; c < cell_count; ++c) {
        const auto& cell = cells[static_cast<std::size_t>(c)];
        const auto at = object_position(static_cast<std::size_t>(c));
        if (const auto type = compiled_type(cell.kind)) {
            RouteObject o;
            o.type = std::string(*type);
            o.position = at;
            o.cells = {c};
            o.stored = {{cells_text({c}), cell_fields(cell, CellUse::object)}};
            if (cell.kind == compiler::cell_kind::sign_board && cell.ref > 0 &&
                static_cast<std::size_t>(cell.ref) < state.locations.size()) {
                const auto& e = state.locations[static_cast<std::size_t>(cell.ref)];
                o.name = utf8_from_1252(e.name);
                o.stored.insert(o.stored.begin(), {"entry " + std::to_string(cell.ref),
                                                   {{"name", utf8_from_1252(e.name)}}});
            }
            out.push_back(std::move(o));
        } else if (cell.kind == compiler::cell_kind::slowdown_warning) {
            warning = c;
        } else if (cell.kind == compiler::cell_kind::slowdown_start) {
            start = c;
        } else if (cell.kind == compiler::cell_kind::slowdown_end && start >= 0) {
            RouteObject o;
            o.type = "slowdown";
            o.position = object_position(static_cast<std::size_t>(start));
            o.end = at;
            o.cells = warning >= 0 ? std::vector<std::int32_t>{warning, start, c}
                                   : std::vector<std::int32_t>{start, c};
            for (const auto held : o.cells) {
                o.stored.push_back(
                    {cells_text({held}),
                     cell_fields(cells[static_cast<std::size_t>(held)], CellUse::object)});
            }
            o.details = {{"restricted", std::vector<std::int64_t>{std::int64_t{start} * kCell,
                                                                  (std::int64_t{c} + 1) * kCell}}};
            out.push_back(std::move(o));
            warning = -1;
            start = -1;
        }
    }
    // The mountain spans, a run of cells of one span kind each.
    for (std::int32_t c = 0; c < cell_count; ++c) {
        const auto span_kind = cells[static_cast<std::size_t>(c)].spanKind;
        if (span_kind == 0) {
            continue;
        }
        const auto first = c;
        while (c + 1 < cell_count && cells[static_cast<std::size_t>(c) + 1].spanKind == span_kind) {
            ++c;
        }
        RouteObject o;
        o.type = "mountain";
        o.position = first * kCell;
        o.end = (c + 1) * kCell;
        o.cells = {first, c};
        o.cellRange = true;
        o.stored = {{"cells " + std::to_string(first) + " to " + std::to_string(c),
                     {{"spanKind", std::int64_t{span_kind}}}}};
        out.push_back(std::move(o));
    }
    // The stations of the table: the entries that no sign board names.
    std::vector<bool> board(state.locations.size(), false);
    std::vector<std::int32_t> stop(state.locations.size(), -1);
    for (std::int32_t c = 0; c < cell_count; ++c) {
        const auto& cell = cells[static_cast<std::size_t>(c)];
        const bool in_table =
            cell.ref > 0 && static_cast<std::size_t>(cell.ref) < state.locations.size();
        if (in_table && cell.kind == compiler::cell_kind::sign_board) {
            board[static_cast<std::size_t>(cell.ref)] = true;
        } else if (in_table && cell.kind == compiler::cell_kind::station_stop) {
            stop[static_cast<std::size_t>(cell.ref)] = c;
        }
    }
    const auto last = std::min(state.locations.size(), entry::first_sign_slot + 1);
    for (std::size_t i = 1; i < last; ++i) {
        const auto& e = state.locations[i];
        if (e == LocationEntry{} || board[i]) {
            continue;
        }
        RouteObject o;
        o.type = "station";
        o.name = utf8_from_1252(e.name);
        o.position = e.position;
        o.end = e.zoneEnd;
        o.stored = {{"entry " + std::to_string(i), entry_fields(e)}};
        if (stop[i] >= 0) {
            o.cells = {stop[i]};
            o.stored.push_back(
                {cells_text({stop[i]}),
                 cell_fields(cells[static_cast<std::size_t>(stop[i])], CellUse::stop)});
        }
        o.details = {{"stops", stop[i] >= 0},
                     {"zone", std::vector<std::int64_t>{e.zoneStart, e.zoneEnd}}};
        out.push_back(std::move(o));
    }
    std::stable_sort(out.begin(), out.end(), [](const RouteObject& a, const RouteObject& b) {
        return a.position.value_or(0) < b.position.value_or(0);
    });
    return annotations;
}

}  // namespace scenario::tool
