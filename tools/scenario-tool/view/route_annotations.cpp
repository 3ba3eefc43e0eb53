#include "view/route_annotations.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "compiler/model/numbers.h"
#include "compiler/model/track_cell.h"
#include "compiler/placement/cell_index.h"
#include "documents/train_text_records.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

using compiler::BuildState;
using compiler::TrackCell;
namespace kind = compiler::cell_kind;

constexpr std::int32_t kCell = 50;
constexpr std::uint8_t kFirstKindWithoutStop = 25;

// Where each line of a text begins, to find a record's line again without rereading.
class LineIndex {
  public:
    explicit LineIndex(std::string_view text) : text_(text) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                starts_.push_back(i + 1);
            }
        }
    }

    std::string_view line(std::int32_t number) const {
        if (number < 1 || static_cast<std::size_t>(number) > starts_.size()) {
            return {};
        }
        const std::size_t begin = starts_[static_cast<std::size_t>(number) - 1];
        std::size_t end = text_.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        auto line = text_.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

  private:
    std::string_view text_;
    std::vector<std::size_t> starts_;
};

std::int64_t to_cell(double metres) {
    return compiler::round_half_even(metres / kCell);
}

std::string time_of_day(std::int32_t seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

Fields cell_fields(const TrackCell& c) {
    Fields f;
    const std::pair<const char*, std::int64_t> values[] = {{"kind", c.kind},
                                                           {"ref", c.ref},
                                                           {"ref2", c.ref2},
                                                           {"ref3", c.ref3},
                                                           {"ref4", c.ref4},
                                                           {"signalTime", c.signalTime},
                                                           {"approachMark", c.approachMark},
                                                           {"spanKind", c.spanKind}};
    for (const auto& [name, value] : values) {
        if (value != 0) {
            f.emplace_back(name, value);
        }
    }
    return f;
}

// The train text's records as the reading placed them, when they agree with the table.
std::optional<TrainTextRecords> train_records(const BuildState& state,
                                              const AuthorReading* reading) {
    if (reading == nullptr) {
        return std::nullopt;
    }
    auto records = train_text_records(*reading);
    if (records.stations.size() != static_cast<std::size_t>(state.stationCount)) {
        return std::nullopt;
    }
    return records;
}

class Gatherer {
  public:
    Gatherer(const BuildState& state, const std::vector<RouteText>& texts,
             const AuthorReading* reading)
        : state_(state) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (texts[i].role == "train") {
                train_ = static_cast<std::int32_t>(i);
                train_lines_.emplace(texts[i].bytes);
                records_ = train_records(state, reading);
            }
        }
    }

    std::vector<RouteObject> objects() {
        stations();
        cells();
        spans();
        speed_limits();
        std::stable_sort(out_.begin(), out_.end(), [](const RouteObject& a, const RouteObject& b) {
            return a.position < b.position;
        });
        return std::move(out_);
    }

  private:
    std::optional<SourceSpan> train_span(std::int32_t line) const {
        if (!train_lines_ || line <= 0) {
            return std::nullopt;
        }
        return record_span(train_, line, train_lines_->line(line));
    }

    void stations() {
        for (std::int32_t k = 1; k <= state_.stationCount; ++k) {
            const auto& e = state_.locations[static_cast<std::size_t>(k)];
            const StationLine* record =
                records_ ? &records_->stations[static_cast<std::size_t>(k) - 1] : nullptr;
            const bool stops = e.kind < kFirstKindWithoutStop;
            const auto stop = compiler::round_half_even(static_cast<double>(e.zoneEnd) / kCell - 1);
            RouteObject o;
            o.type = "station";
            o.name = utf8_from_1252(e.name);
            o.position = e.position;
            o.end = e.zoneEnd;
            if (stops) {
                o.cells.push_back(static_cast<std::int32_t>(stop));
            }
            o.source = record ? train_span(record->line) : std::nullopt;
            o.stored = {{"entry", k},
                        {"kind", e.kind},
                        {"zoneStart", e.zoneStart},
                        {"zoneEnd", e.zoneEnd},
                        {"position", e.position},
                        {"dwell", e.dwell},
                        {"timeOfDay", e.timeOfDay}};
            if (stops) {
                o.stored.emplace_back("stopCell", stop);
            }
            o.details = {{"kind", e.kind},
                         {"platform", record ? FieldValue{std::int64_t{record->platform}}
                                             : FieldValue{nullptr}},
                         {"dwell", e.dwell},
                         {"time", e.timeOfDay != 0 ? FieldValue{time_of_day(e.timeOfDay)}
                                                   : FieldValue{nullptr}},
                         {"zone", std::vector<std::int64_t>{e.zoneStart, e.zoneEnd}},
                         {"stops", stops}};
            out_.push_back(std::move(o));
        }
    }

    void cells() {
        const auto& cells = state_.cells;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const auto& cell = cells[c];
            const auto index = static_cast<std::int32_t>(c);
            // Boards and signals stand on the cell after their position.
            const std::int32_t board = (index - 1) * kCell;
            RouteObject o;
            o.position = board;
            o.cells = {index};
            o.stored = cell_fields(cell);
            switch (cell.kind) {
                case kind::signal:
                    o.type = "signal";
                    break;
                case kind::speed_board:
                    o.type = "speed-board";
                    o.details = board_speeds(cell);
                    break;
                case kind::sign_board:
                    o.type = "sign-board";
                    if (cell.ref > 0 &&
                        static_cast<std::size_t>(cell.ref) < state_.locations.size()) {
                        o.name = utf8_from_1252(
                            state_.locations[static_cast<std::size_t>(cell.ref)].name);
                    }
                    break;
                case kind::code_point:
                    o.type = "code-point";
                    o.position = index * kCell;
                    o.details = {{"value", cell.ref}};
                    break;
                case kind::slowdown_start:
                    slowdown(c);
                    continue;
                default:
                    continue;
            }
            out_.push_back(std::move(o));
        }
    }

    // The speeds a board shows, from its cell: each speed field holds left * 20 + right / 5.
    static Fields board_speeds(const TrackCell& cell) {
        std::vector<std::int64_t> left, right;
        for (const std::int16_t packed : {cell.ref, cell.ref2, cell.ref3}) {
            left.push_back(packed / 20);
            right.push_back(packed % 20 * 5);
        }
        Fields f{{"speeds", left},
                 {"stripes", std::vector<std::int64_t>{cell.ref4 / 10, cell.ref4 % 10}}};
        if (std::any_of(right.begin(), right.end(), [](std::int64_t v) { return v != 0; })) {
            f.emplace_back("rightSpeeds", right);
        }
        return f;
    }

    void slowdown(std::size_t start) {
        const auto& cells = state_.cells;
        const auto& cell = cells[start];
        std::size_t end = start + 1;
        while (end < cells.size() && cells[end].kind != kind::slowdown_end) {
            ++end;
        }
        RouteObject o;
        o.type = "slowdown";
        o.position = (static_cast<std::int32_t>(start) - 1) * kCell;
        o.end = (static_cast<std::int32_t>(std::min(end, cells.size() - 1)) - 1) * kCell;
        o.cells = {static_cast<std::int32_t>(start)};
        if (end < cells.size()) {
            o.cells.push_back(static_cast<std::int32_t>(end));
        }
        o.stored = {
            {"start", std::vector<std::int64_t>{cell.kind, cell.ref, cell.ref2, cell.ref3}}};
        o.details = {{"speed", cell.ref}};
        if (records_) {
            for (const auto& r : records_->slowdowns) {
                if (compiler::board_cell(r.x) == static_cast<std::int64_t>(start)) {
                    o.position = r.x;
                    o.end = r.x + r.l;
                    o.source = train_span(r.line);
                    o.details = {{"speed", r.v},
                                 {"length", r.l},
                                 {"f_tt", r.f_tt},
                                 {"f_ta", r.f_ta},
                                 {"d_v", r.d_v}};
                    if (r.x > 1500) {
                        o.cells.insert(o.cells.begin(),
                                       static_cast<std::int32_t>(compiler::board_cell(r.x - 1200)));
                    }
                }
            }
        }
        out_.push_back(std::move(o));
    }

    void spans() {
        const auto count =
            std::clamp(state_.spanCount, 0, static_cast<std::int32_t>(compiler::kSpanSlots) - 1);
        for (std::int32_t i = 1; i <= count; ++i) {
            const auto start = state_.spanStarts[static_cast<std::size_t>(i)];
            const auto end = state_.spanEnds[static_cast<std::size_t>(i)];
            const auto first = to_cell(start);
            const auto last = compiler::round_half_even(static_cast<double>(end) / kCell - 1);
            RouteObject o;
            o.type = "mountain";
            o.position = start;
            o.end = end;
            o.cells = {static_cast<std::int32_t>(first),
                       static_cast<std::int32_t>(std::max(first, last))};
            o.cellRange = true;
            if (first >= 0 && first <= state_.last_cell()) {
                const auto spanKind = state_.cells[static_cast<std::size_t>(first)].spanKind;
                o.stored = {{"spanKind", spanKind}};
                o.details = {{"kind", spanKind}};
            }
            out_.push_back(std::move(o));
        }
    }

    void speed_limits() {
        if (!records_) {
            return;
        }
        const auto& limits = records_->speedLimits;
        for (std::size_t i = 0; i < limits.size(); ++i) {
            const auto& r = limits[i];
            RouteObject o;
            o.type = "speed-limit";
            o.position = r.position;
            const auto first = to_cell(r.position);
            std::int64_t last = state_.last_cell();
            if (i + 1 < limits.size()) {
                o.end = limits[i + 1].position;
                last = to_cell(*o.end) - 1;
            }
            o.cells = {static_cast<std::int32_t>(first),
                       static_cast<std::int32_t>(std::max(first, last))};
            o.cellRange = true;
            o.source = train_span(r.line);
            if (first >= 0 && first <= state_.last_cell()) {
                o.stored = {{"speedStep", state_.cells[static_cast<std::size_t>(first)].speedStep}};
            }
            o.details = {{"value", r.speed}};
            out_.push_back(std::move(o));
        }
    }

    const BuildState& state_;
    std::int32_t train_ = -1;
    std::optional<LineIndex> train_lines_;
    std::optional<TrainTextRecords> records_;
    std::vector<RouteObject> out_;
};

std::vector<RouteDiagnostic> tie_diagnostics(const std::vector<Diagnostic>& diagnostics,
                                             const std::vector<RouteText>& texts,
                                             const std::vector<RouteObject>& objects) {
    std::vector<RouteDiagnostic> out;
    std::vector<LineIndex> lines;
    for (const auto& t : texts) {
        lines.emplace_back(t.bytes);
    }
    for (const auto& d : diagnostics) {
        RouteDiagnostic r;
        r.severity = d.severity;
        r.code = d.code;
        r.message = d.message;
        for (const auto& note : d.notes) {
            r.notes.push_back(note.message);
        }
        r.hint = d.hint;
        r.position = d.position;
        const auto& place = d.place;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (!place.file.empty() && place.file == texts[i].file && place.line > 0) {
                const auto file = static_cast<std::int32_t>(i);
                auto span = record_span(file, place.line, lines[i].line(place.line));
                span.column = std::max(1, place.column);
                span.endColumn.reset();
                r.source = span;
                for (std::size_t o = 0; o < objects.size(); ++o) {
                    const auto& s = objects[o].source;
                    if (s && s->file == file && s->line == place.line) {
                        r.object = static_cast<std::int32_t>(o);
                        if (!objects[o].cells.empty()) {
                            r.cell = objects[o].cells.front();
                        }
                        if (!r.position) {
                            r.position = objects[o].position;
                        }
                    }
                }
            }
        }
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace

SourceSpan record_span(std::int32_t file, std::int32_t line, std::string_view line_text) {
    const auto first = line_text.find_first_not_of(" \t");
    const auto last = line_text.find_last_not_of(" \t");
    SourceSpan span;
    span.file = file;
    span.line = line;
    span.column = first == std::string_view::npos ? 1 : static_cast<std::int32_t>(first) + 1;
    span.endColumn =
        last == std::string_view::npos ? span.column : static_cast<std::int32_t>(last) + 2;
    return span;
}

RouteAnnotations annotations_from_compile(const BuildState* state,
                                          const std::vector<RouteText>& texts,
                                          const std::vector<Diagnostic>& diagnostics,
                                          const AuthorReading* reading) {
    RouteAnnotations annotations;
    if (state != nullptr) {
        annotations.objects = Gatherer(*state, texts, reading).objects();
    }
    annotations.diagnostics = tie_diagnostics(diagnostics, texts, annotations.objects);
    return annotations;
}

}  // namespace scenario::tool
