#include "diagnostics/reading_diagnostics.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "compiler/model/track_cell.h"
#include "diagnostics/timetable_check.h"
#include "files/windows_1252.h"
#include "reading/route_facts.h"

namespace scenario::tool {

namespace {

using compiler::Diag;
using compiler::ErrorSource;
using compiler::FieldSpan;
using compiler::Occurrence;

// The train card prints a station's name in a column of this many characters.
constexpr std::size_t kCardNameRoom = 26;
// Diagnostics of one kind in one text beyond these many are folded into a count.
constexpr std::size_t kShownOfAKind = 3;

std::string argument(const Occurrence& o, std::string_view name) {
    for (const auto& a : o.arguments) {
        if (a.name == name) {
            return a.value;
        }
    }
    return {};
}

std::string code_of(Diag id) {
    const auto& entry = compiler::catalogue_entry(id);
    return compiler::is_fault(id) ? std::to_string(entry.number()) : std::string(entry.name);
}

std::string explain_hint(Diag id) {
    return "'scenario-tool explain " + code_of(id) + "' tells the cause and the mend";
}

std::size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The record keyword of this text nearest to a misspelt one, if one is near.
std::string nearest_keyword(std::string_view written, ErrorSource text) {
    const std::string lower = files::to_lower_1252(written);
    const auto kind = text == ErrorSource::line_text ? compiler::SourceTextKind::line_text
                                                     : compiler::SourceTextKind::train_text;
    std::size_t best = 3;
    std::string nearest;
    for (const auto& record : compiler::kRecordDescriptions) {
        if (record.text != kind) {
            continue;
        }
        const auto distance = edit_distance(lower, record.keyword);
        if (distance < best) {
            best = distance;
            nearest = record.keyword;
        }
    }
    return nearest;
}

// The multiple of `step` nearest to numerator / denominator, a half to the even multiple, as
// the build rounds; nothing where the numbers are too large to be exact.
std::optional<std::int64_t> nearest_multiple(std::int64_t numerator, std::int64_t denominator,
                                             std::int64_t step) {
    constexpr std::int64_t kLargest = std::int64_t{1} << 52;
    if (denominator <= 0 || step <= 0 || denominator > kLargest / step || numerator > kLargest ||
        numerator < -kLargest) {
        return std::nullopt;
    }
    const bool negative = numerator < 0;
    const std::int64_t n = negative ? -numerator : numerator;
    const std::int64_t unit = denominator * step;
    std::int64_t q = n / unit;
    const std::int64_t twice_rest = 2 * (n % unit);
    if (twice_rest > unit || (twice_rest == unit && q % 2 != 0)) {
        ++q;
    }
    return (negative ? -q : q) * step;
}

// "1.100" or "-12.500.000": digits grouped by three with a point, as many languages write
// thousands; the number without the points.
std::optional<std::int64_t> thousands(std::string_view token) {
    const bool negative = !token.empty() && token[0] == '-';
    if (!token.empty() && (token[0] == '-' || token[0] == '+')) {
        token.remove_prefix(1);
    }
    const auto first = token.find('.');
    if (first == 0 || first == std::string_view::npos || first > 3) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char c = token[i];
        const bool point_here = i >= first && (i - first) % 4 == 0;
        if (point_here != (c == '.') || (c != '.' && (c < '0' || c > '9'))) {
            return std::nullopt;
        }
        if (c != '.') {
            value = value * 10 + (c - '0');
        }
    }
    if ((token.size() - first) % 4 != 0) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// "70.5": the number as a fraction, numerator over a power of ten.
std::optional<std::pair<std::int64_t, std::int64_t>> decimal_fraction(std::string_view token) {
    const bool negative = !token.empty() && token[0] == '-';
    if (!token.empty() && (token[0] == '-' || token[0] == '+')) {
        token.remove_prefix(1);
    }
    const auto point = token.find('.');
    if (point == 0 || point == std::string_view::npos || point + 1 == token.size()) {
        return std::nullopt;
    }
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (i == point) {
            continue;
        }
        if (token[i] < '0' || token[i] > '9') {
            return std::nullopt;
        }
        numerator = numerator * 10 + (token[i] - '0');
        if (i > point) {
            denominator *= 10;
        }
    }
    return std::pair{negative ? -numerator : numerator, denominator};
}

// The step a value is kept on: speed limits in 5 km/h, positions on the 50 m grid (a curve's
// start to the metre), platforms in 100 m; 1 for the others.
std::int64_t value_step(const compiler::RecordDescription& kind, std::size_t index) {
    if (kind.kind == "speed limit" && index == 1) {
        return 5;
    }
    if (kind.kind == "station" && index == 2) {
        return 100;
    }
    if (index == 0 && kind.bound_margin > 0 && kind.kind != "curve") {
        return 50;
    }
    return 1;
}

class Diagnoser {
  public:
    explicit Diagnoser(const ReadScenario& s) : s_(s) {}

    SourcePlace place(ErrorSource text, const FieldSpan& span) const {
        SourcePlace p;
        if (text != ErrorSource::line_text && text != ErrorSource::train_text) {
            return p;
        }
        const auto& file = s_.file(text);
        p.file = file.name();
        p.line = span.place.line;
        p.column = span.place.column;
        p.length = static_cast<std::int32_t>(span.length);
        if (p.line > 0) {
            p.source_line = std::string(file.line(p.line));
        }
        return p;
    }

    // A record's place: its first value where the reading kept it, else its keyword.
    SourcePlace record_place(RecordId id, std::size_t value = 0) const {
        const auto& r = s_.reading.record(id);
        const auto values = s_.reading.values_of(id);
        return place(r.text, value < values.size() ? values[value].field : r.keyword);
    }

    // "the maximum-speed board at 1100 m"
    std::string record_words(RecordId id) const {
        const auto& kind = s_.reading.kind_of(id);
        const auto values = s_.reading.values_of(id);
        std::string words = "the " + std::string(kind.kind);
        if (!values.empty() && kind.bound_margin > 0) {
            words += " at " + std::to_string(values[0].read) + " m";
        }
        return words;
    }

    // Who holds a cell, as a note at the record that placed it.
    std::optional<Note> holder_note(std::int32_t cell, std::string_view what) const {
        for (const auto use :
             {compiler::CellUse::object, compiler::CellUse::stop, compiler::CellUse::marker}) {
            const RecordId holder = s_.reading.holder(use, cell);
            if (holder == kSignallingPass) {
                return Note{std::string(what) + ", by a code point of the signalling pass", {}};
            }
            if (holder >= 0) {
                return Note{std::string(what) + ", by " + record_words(holder),
                            record_place(holder)};
            }
        }
        return std::nullopt;
    }

    std::string cell_words(std::int32_t cell) const {
        return "cell " + std::to_string(cell) + " at " + std::to_string(std::int64_t{cell} * 50) +
               " m";
    }

    Diagnostic of(const Occurrence& o) const {
        const auto& entry = compiler::catalogue_entry(o.id);
        Diagnostic d;
        d.id = o.id;
        d.code = code_of(o.id);
        d.severity = entry.severity;
        d.position = o.position;
        d.cell = o.cell;
        d.text = o.text;
        d.message = compiler::format_message(entry.message_format(), o.arguments);
        locate(d, o);
        if (compiler::is_fault(o.id)) {
            fault_words(d, o);
            d.hint = explain_hint(o.id);
        } else {
            warning_words(d, o);
        }
        if (!d.fix) {
            mend(d, o);
        }
        return d;
    }

  private:
    // The value of a record as the reading kept it, with its field.
    const ReadValue* value_of(RecordId id, std::size_t index) const {
        if (id < 0) {
            return nullptr;
        }
        const auto values = s_.reading.values_of(id);
        return index < values.size() ? &values[index] : nullptr;
    }

    // A fix that writes new numbers in place of some values of one record, keeping the bytes
    // between them.
    std::optional<Fix> values_fix(RecordId id,
                                  const std::vector<std::pair<std::size_t, std::int64_t>>& changes,
                                  const std::string& title) const {
        std::vector<std::pair<const ReadValue*, std::int64_t>> fields;
        for (const auto& [index, value] : changes) {
            if (const auto* v = value_of(id, index); v != nullptr && v->field.length > 0) {
                fields.push_back({v, value});
            }
        }
        if (fields.empty()) {
            return std::nullopt;
        }
        const auto& bytes = s_.file(s_.reading.record(id).text).bytes();
        const auto first = fields.front().first->field.offset;
        const auto& last = fields.back().first->field;
        std::string replacement;
        std::uint32_t at = first;
        for (const auto& [v, value] : fields) {
            replacement.append(bytes, at, v->field.offset - at);
            replacement += std::to_string(value);
            at = v->field.offset + v->field.length;
        }
        return Fix{title, first, last.offset + last.length - first, replacement};
    }

    // The mends the tool makes itself beyond those the words of a diagnostic bring: a ';' for a
    // comma, a decimal point or a thousands separator, a value put on its step.
    void mend(Diagnostic& d, const Occurrence& o) const {
        switch (o.id) {
            case Diag::reading_failure:
                d.fix = semicolon_fix(o);
                if (!d.fix && argument(o, "cause") == "not-a-number") {
                    d.fix = number_fix(o);
                }
                break;
            case Diag::not_on_grid:
                if (o.position) {
                    const auto lands = nearest_multiple(*o.position, 1, 50);
                    d.fix = Fix{"write " + std::to_string(*lands) + ", where the build reads it",
                                o.at.offset, o.at.length, std::to_string(*lands)};
                }
                break;
            case Diag::station_off_grid:
                d.fix = step_fix(o.record, 0, 50, "the 50 m grid");
                break;
            case Diag::station_length_off_grid:
                d.fix = step_fix(o.record, 2, 100, "a multiple of 100 m");
                break;
            case Diag::repetition_start_off_grid:
                d.fix = step_fix(o.record, 0, 50, "the 50 m grid");
                break;
            case Diag::repetition_end_off_grid:
                d.fix = step_fix(o.record, 1, 50, "the 50 m grid");
                break;
            case Diag::kilometric_range_off_grid:
                d.fix = range_fix(o);
                break;
            default:
                break;
        }
    }

    std::optional<Fix> step_fix(RecordId id, std::size_t index, std::int64_t step,
                                std::string_view grid) const {
        const auto* v = value_of(id, index);
        if (v == nullptr) {
            return std::nullopt;
        }
        auto value = nearest_multiple(v->read, 1, step);
        if (!value) {
            return std::nullopt;
        }
        if (*value == 0 && step == 100) {
            value = 100;  // a platform has a length
        }
        return values_fix(id, {{index, *value}},
                          "write " + std::to_string(*value) + ", on " + std::string(grid));
    }

    // The kilometric range whose start or kilometric value is off the grid, both put on it.
    std::optional<Fix> range_fix(const Occurrence& o) const {
        for (RecordId id = 0; id < static_cast<RecordId>(s_.reading.records().size()); ++id) {
            const auto& r = s_.reading.record(id);
            if (r.text != ErrorSource::line_text || r.keyword.place.line != o.at.place.line ||
                s_.reading.kind_of(id).kind != "kilometric range") {
                continue;
            }
            std::vector<std::pair<std::size_t, std::int64_t>> changes;
            for (const std::size_t index : {std::size_t{0}, std::size_t{1}}) {
                const auto* v = value_of(id, index);
                if (v != nullptr && v->read % 50 != 0) {
                    changes.push_back({index, *nearest_multiple(v->read, 1, 50)});
                }
            }
            if (!changes.empty()) {
                return values_fix(id, changes, "put the range on the 50 m grid");
            }
        }
        return std::nullopt;
    }

    // A record whose values a ';' separates, as a spreadsheet exports them: the ';' that stand
    // where its commas belong become commas (those after, in a name, stay).
    std::optional<Fix> semicolon_fix(const Occurrence& o) const {
        if (o.record < 0) {
            return std::nullopt;
        }
        const auto& r = s_.reading.record(o.record);
        const auto& file = s_.file(r.text);
        const auto& kind = s_.reading.kind_of(o.record);
        const std::size_t start = file.line_start(r.keyword.place.line);
        const auto line = file.line(r.keyword.place.line);
        const std::size_t wanted = kind.kind == "clock" ? 1 : kind.values.size();
        std::size_t separators =
            static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
        std::string replaced(line);
        std::size_t first = std::string::npos;
        std::size_t last = 0;
        for (std::size_t i = 0; i < replaced.size() && separators < wanted; ++i) {
            if (replaced[i] == ';') {
                replaced[i] = ',';
                ++separators;
                first = std::min(first, i);
                last = i;
            }
        }
        if (first == std::string::npos) {
            return std::nullopt;
        }
        return Fix{"write ',' for ';'", static_cast<std::uint32_t>(start + first),
                   static_cast<std::uint32_t>(last - first + 1),
                   replaced.substr(first, last - first + 1)};
    }

    // A number written with a decimal point or with thousands separators: the whole number the
    // field takes, on its step.
    std::optional<Fix> number_fix(const Occurrence& o) const {
        const auto token = argument(o, "token");
        if (o.record < 0 || o.at.length == 0 || token.size() > 18) {
            return std::nullopt;
        }
        const auto& kind = s_.reading.kind_of(o.record);
        const auto name = argument(o, "value");
        std::size_t index = kind.values.size();
        for (std::size_t i = 0; i < kind.values.size(); ++i) {
            if (kind.values[i].name == name) {
                index = i;
                break;
            }
        }
        if (index == kind.values.size()) {
            return std::nullopt;
        }
        const auto& value = kind.values[index];
        const auto range = value.range ? value.range : compiler::width_range(value.width);
        const auto step = value_step(kind, index);
        const auto fits = [&](std::int64_t v) {
            return range && v >= range->lowest && v <= range->highest;
        };
        std::optional<std::int64_t> whole;
        if (const auto grouped = thousands(token); grouped && fits(*grouped)) {
            whole = nearest_multiple(*grouped, 1, step);
        } else if (const auto decimal = decimal_fraction(token)) {
            whole = nearest_multiple(decimal->first, decimal->second, step);
        }
        if (!whole || !fits(*whole)) {
            return std::nullopt;
        }
        const auto& bytes = s_.file(o.text).bytes();
        if (std::string_view(bytes).substr(o.at.offset, o.at.length) != token) {
            return std::nullopt;
        }
        return Fix{"write " + std::to_string(*whole), o.at.offset, o.at.length,
                   std::to_string(*whole)};
    }

    // Where a diagnostic stands: its field; a diagnostic of the signalling pass at the record
    // whose cells the rule looked at.
    void locate(Diagnostic& d, const Occurrence& o) const {
        if (o.text == ErrorSource::signalling) {
            for (const auto cell : o.involved) {
                for (const auto use : {compiler::CellUse::object, compiler::CellUse::stop}) {
                    const RecordId holder = s_.reading.holder(use, cell);
                    const bool slowdown =
                        holder >= 0 && s_.reading.kind_of(holder).kind == "slowdown";
                    const bool point = o.id == Diag::code_point_lowered && holder >= 0;
                    if (slowdown || point) {
                        d.place = record_place(holder, point ? 1 : 0);
                        d.text = s_.reading.record(holder).text;
                        return;
                    }
                }
            }
            return;
        }
        if (o.at.place.line > 0) {
            d.place = place(o.text, o.at);
        } else if (o.record >= 0) {
            d.place = record_place(o.record);
        } else {
            d.place.file = o.text == ErrorSource::none ? std::string() : s_.file(o.text).name();
        }
    }

    void fault_words(Diagnostic& d, const Occurrence& o) const {
        if (o.id == Diag::reading_failure) {
            d.message = reading_failure_words(o);
            return;
        }
        std::string where;
        if (o.position) {
            where = "position " + std::to_string(*o.position) + " m";
        }
        if (o.cell >= 0) {
            where += (where.empty() ? "" : ", ") + std::string("cell ") + std::to_string(o.cell);
        }
        if (!where.empty()) {
            d.message += " (" + where + ")";
        }
        if (o.text == ErrorSource::signalling) {
            for (const auto cell : o.involved) {
                if (cell == o.cell) {
                    continue;
                }
                if (auto note = holder_note(cell, cell_words(cell) + " is taken")) {
                    d.notes.push_back(*note);
                }
            }
            return;
        }
        for (const auto cell : o.involved) {
            if (auto note = holder_note(cell, "the cell was taken here")) {
                d.notes.push_back(*note);
            }
        }
        if (o.id == Diag::station_zones_too_close) {
            const auto line = argument(o, "previous_line");
            const auto out_of_place = argument(o, "out_of_place");
            const auto record = argument(o, "previous_record");
            const auto previous = record.empty() || std::stoi(record) < 0
                                      ? line_place(ErrorSource::train_text, std::stoi(line))
                                      : record_place(std::stoi(record));
            if (!out_of_place.empty()) {
                d.notes.push_back({"the station at " + argument(o, "previous_position") +
                                       " m lies past the stations after it: its position is the "
                                       "likely mistake, and the stations after are compared with "
                                       "this one",
                                   previous});
            } else if (!line.empty()) {
                d.notes.push_back({"the zone of the station before it ends too near", previous});
            }
        }
    }

    SourcePlace line_place(ErrorSource text, std::int32_t line) const {
        SourcePlace p;
        p.file = s_.file(text).name();
        p.line = line;
        p.column = 1;
        p.source_line = std::string(s_.file(text).line(line));
        return p;
    }

    // What could not be read, by its cause.
    std::string reading_failure_words(const Occurrence& o) const {
        const auto cause = argument(o, "cause");
        const auto value = argument(o, "value");
        const auto token = argument(o, "token");
        std::string record = "the text";
        const compiler::RecordDescription* kind = nullptr;
        if (o.record >= 0) {
            kind = &s_.reading.kind_of(o.record);
            const auto& r = s_.reading.record(o.record);
            const auto& bytes = s_.file(r.text).bytes();
            record = "'" +
                     files::utf8_from_1252(
                         std::string_view(bytes).substr(r.keyword.offset, r.keyword.length)) +
                     "'";
        }
        if (cause == "cut-short" && kind != nullptr) {
            std::string after = "after the keyword";
            for (std::size_t i = 0; i < kind->values.size(); ++i) {
                if (kind->values[i].name == value && i > 0) {
                    after = "after the " + std::string(kind->values[i - 1].name);
                }
            }
            return record + " needs " + compiler::value_list(kind->values) + "; the line ends " +
                   after;
        }
        if (cause == "not-a-number") {
            if (token.find(';') != std::string::npos) {
                return record +
                       ": a ';' stands where a comma should separate the values (a "
                       "spreadsheet's export?)";
            }
            const auto digits = token.find_first_not_of("+-0123456789");
            if (digits != std::string::npos && token[digits] == '.' &&
                token.find_first_not_of("+-0123456789.") == std::string::npos) {
                return record + ": the " + value + " '" + token +
                       "' has a decimal point; values are whole numbers";
            }
            return record + ": the " + value + " '" + token + "' is not a number";
        }
        if (cause == "out-of-range" && kind != nullptr) {
            for (const auto& v : kind->values) {
                if (v.name == value) {
                    if (const auto range = compiler::width_range(v.width)) {
                        return record + ": the " + value + " " + token +
                               " does not fit its field (" + std::to_string(range->lowest) +
                               " to " + std::to_string(range->highest) + ")";
                    }
                }
            }
        }
        return "the text could not be read: " + argument(o, "reason");
    }

    void warning_words(Diagnostic& d, const Occurrence& o) const {
        switch (o.id) {
            case Diag::unknown_keyword: {
                const auto& bytes = s_.file(o.text).bytes();
                const auto written = std::string_view(bytes).substr(o.at.offset, o.at.length);
                const auto nearest = nearest_keyword(written, o.text);
                if (!nearest.empty()) {
                    d.hint = "did you mean '" + nearest + "'?";
                    d.fix =
                        Fix{"replace with '" + nearest + "'", o.at.offset, o.at.length, nearest};
                }
                break;
            }
            case Diag::speed_not_on_step:
                d.fix = Fix{"write " + argument(o, "stored") + " km/h", o.at.offset, o.at.length,
                            argument(o, "stored")};
                break;
            case Diag::out_of_section:
                if (argument(o, "where") == "in the general section") {
                    d.cause = "unclosed general section";
                }
                break;
            case Diag::timetable_too_tight:
            case Diag::timetable_margin_low:
                for (const auto& a : o.arguments) {
                    if (a.name == "note") {
                        d.notes.push_back({a.value, {}});
                    }
                }
                break;
            case Diag::code_point_lowered:
                if (d.place.in_text()) {
                    d.notes.push_back(
                        {"the code points the pass places carry 180; a lower one stays", {}});
                }
                break;
            default:
                break;
        }
    }

    const ReadScenario& s_;
};

// Which text a diagnostic is of, for the order: the line text, the train text, the scenario.
int text_order(const Diagnostic& d, const ReadScenario& s) {
    if (!d.place.in_text()) {
        return d.place.file == s.line.name() ? 1 : d.place.file == s.train.name() ? 3 : 4;
    }
    return d.place.file == s.line.name() ? 0 : 2;
}

bool is_route_end(const Diagnostic& d) {
    return d.id == Diag::record_near_route_end;
}

std::string lines_listed(const std::vector<std::int32_t>& lines) {
    std::string listed;
    const std::size_t shown = std::min<std::size_t>(lines.size(), 5);
    for (std::size_t i = 0; i < shown; ++i) {
        listed += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
    }
    if (lines.size() > shown) {
        listed += " and " + std::to_string(lines.size() - shown) + " more";
    }
    return listed;
}

// Records past the route's end are the consequence of one cause, most often the route length:
// two or more of them become one diagnostic at the route length, which counts them.
void fold_route_end(const ReadScenario& s, std::vector<Diagnostic>& all) {
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (is_route_end(all[i]) && all[i].place.in_text()) {
            ends.push_back(i);
        }
    }
    if (ends.size() < 2) {
        return;
    }
    RecordId length = kNobody;
    for (RecordId id = 0; id < static_cast<RecordId>(s.reading.records().size()); ++id) {
        if (s.reading.kind_of(id).kind == "route length") {
            length = id;
        }
    }
    const std::int32_t route = s.state.locations[compiler::entry::train].zoneEnd;
    const std::int64_t last = std::int64_t{s.state.last_cell()} * 50 - 100;
    Diagnoser diagnoser(s);
    Diagnostic folded = all[ends.front()];
    folded.message = std::to_string(ends.size()) +
                     " records lie too near the end of the route: with a route of " +
                     std::to_string(route) + " m, a record may stand at " + std::to_string(last) +
                     " m at most, a station at " + std::to_string(last - 700) + " m";
    folded.notes.clear();
    Note first{
        "the first of them, at " + std::to_string(all[ends.front()].position.value_or(0)) + " m",
        all[ends.front()].place};
    folded.notes.push_back(first);
    for (const auto& note : all[ends.front()].notes) {
        folded.notes.push_back(note);
    }
    std::vector<std::int32_t> lines;
    for (std::size_t k = 1; k < ends.size(); ++k) {
        lines.push_back(all[ends[k]].place.line);
        for (const auto& note : all[ends[k]].notes) {
            if (note.place.in_text()) {
                folded.notes.push_back(note);
            }
        }
    }
    folded.notes.push_back({"and " + std::to_string(lines.size()) + " more, on lines " +
                                lines_listed(lines) + " (--all lists them)",
                            {}});
    // Positions past the route length but within its run-out follow from the same cause.
    std::vector<std::size_t> run_out;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].id == Diag::position_outside_route && all[i].position.value_or(-1) > route) {
            run_out.push_back(i);
        }
    }
    if (!run_out.empty()) {
        folded.notes.push_back({std::to_string(run_out.size()) + " more records lie past " +
                                    std::to_string(route) + " m, in the run-out after the route",
                                {}});
    }
    if (length >= 0) {
        folded.place = diagnoser.record_place(length);
        folded.text = ErrorSource::line_text;
        folded.hint = "is the route length right? " + explain_hint(Diag::record_near_route_end);
    }
    std::vector<bool> drop(all.size(), false);
    for (const auto i : ends) {
        drop[i] = true;
    }
    for (const auto i : run_out) {
        drop[i] = true;
    }
    std::vector<Diagnostic> kept;
    kept.push_back(std::move(folded));
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!drop[i]) {
            kept.push_back(std::move(all[i]));
        }
    }
    all = std::move(kept);
}

// Records of the record sections in the general section mean, two or more of them, that the
// header after the general settings is missing: one diagnostic at the first says so.
void fold_unclosed_general_section(std::vector<Diagnostic>& all) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].cause == "unclosed general section") {
            found.push_back(i);
        }
    }
    if (found.size() < 2) {
        return;
    }
    auto& first = all[found.front()];
    const std::string line = std::to_string(first.place.line);
    first.message = std::to_string(found.size()) +
                    " records stand in the general section, which no section header closes "
                    "before line " +
                    line + ": they are all skipped";
    first.hint = "is a section header such as [curve] missing before line " + line + "?";
    for (std::size_t k = found.size(); k-- > 1;) {
        all.erase(all.begin() + static_cast<std::ptrdiff_t>(found[k]));
    }
}

// Once the location table is full, every station after finds no room: one diagnostic counts
// them.
void fold_table_full(std::vector<Diagnostic>& all) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].id == Diag::station_table_full) {
            found.push_back(i);
        }
    }
    if (found.size() < 2) {
        return;
    }
    all[found.front()].notes.push_back(
        {"the " + std::to_string(found.size() - 1) +
             " station lines after it find no room either and are not stored",
         {}});
    for (std::size_t k = found.size(); k-- > 1;) {
        all.erase(all.begin() + static_cast<std::ptrdiff_t>(found[k]));
    }
}

// Beyond the first three of one kind in one text, a count.
void fold_repeats(std::vector<Diagnostic>& all) {
    std::map<std::pair<std::string, std::string>, std::vector<std::size_t>> kinds;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!all[i].code.empty()) {
            kinds[{all[i].code, all[i].place.file}].push_back(i);
        }
    }
    std::vector<bool> drop(all.size(), false);
    for (const auto& [kind, indices] : kinds) {
        if (indices.size() <= kShownOfAKind) {
            continue;
        }
        std::vector<std::int32_t> lines;
        for (std::size_t k = kShownOfAKind; k < indices.size(); ++k) {
            drop[indices[k]] = true;
            lines.push_back(all[indices[k]].place.line);
        }
        all[indices[kShownOfAKind - 1]].notes.push_back(
            {"and " + std::to_string(lines.size()) + " more like this in this text" +
                 (lines.front() > 0 ? ", on lines " + lines_listed(lines) : std::string()) +
                 " (--all lists them)",
             {}});
    }
    std::vector<Diagnostic> kept;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!drop[i]) {
            kept.push_back(std::move(all[i]));
        }
    }
    all = std::move(kept);
}

// As a compiler does: past the limit, the errors and warnings after are counted, not shown.
void apply_error_limit(std::vector<Diagnostic>& all, std::int32_t limit) {
    if (limit <= 0) {
        return;
    }
    std::int32_t errors = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].severity != Severity::error || ++errors <= limit) {
            continue;
        }
        const auto more_errors =
            std::count_if(all.begin() + static_cast<std::ptrdiff_t>(i), all.end(),
                          [](const Diagnostic& d) { return d.severity == Severity::error; });
        const auto more = static_cast<std::int64_t>(all.size() - i);
        all.resize(i);
        all.back().notes.push_back(
            {"too many errors: " + std::to_string(more_errors) + " more errors and " +
                 std::to_string(more - more_errors) +
                 " more warnings are not listed (--error-limit 0 lists them all)",
             {}});
        return;
    }
}

void fold_consequences(const ReadScenario& s, std::vector<Diagnostic>& all,
                       const DiagnoseOptions& options) {
    if (!options.all) {
        fold_route_end(s, all);
        fold_unclosed_general_section(all);
        fold_table_full(all);
        fold_repeats(all);
    }
    apply_error_limit(all, options.error_limit);
}

}  // namespace

SourcePlace place_in(const ReadScenario& scenario, ErrorSource text, const FieldSpan& span) {
    return Diagnoser(scenario).place(text, span);
}

Diagnostic diagnostic_of(const ReadScenario& scenario, const Occurrence& occurrence) {
    return Diagnoser(scenario).of(occurrence);
}

std::vector<Occurrence> document_occurrences(const ReadScenario& scenario) {
    std::vector<Occurrence> found;
    const auto ranges = ranges_in_use(scenario.state);
    const auto& reading = scenario.reading;
    for (RecordId id = 0; id < static_cast<RecordId>(reading.records().size()); ++id) {
        const auto& r = reading.record(id);
        if (reading.kind_of(id).kind != "station" || r.end != compiler::RecordEnd::placed) {
            continue;
        }
        const auto values = reading.values_of(id);
        if (values.size() < 17) {
            continue;
        }
        const auto& bytes = scenario.train.bytes();
        std::string name(
            std::string_view(bytes).substr(values[16].field.offset, values[16].field.length));
        // The card prints " - " as "-".
        std::string printed = name;
        for (auto at = printed.find(" - "); at != std::string::npos; at = printed.find(" - ")) {
            printed.replace(at, 3, "-");
        }
        const auto position = static_cast<std::int32_t>(values[0].read);
        if (printed.size() > kCardNameRoom) {
            Occurrence o;
            o.id = Diag::name_too_long_for_card;
            o.text = ErrorSource::train_text;
            o.at = values[16].field;
            o.record = id;
            o.arguments = {{"name", files::utf8_from_1252(name)},
                           {"length", std::to_string(printed.size())},
                           {"room", std::to_string(kCardNameRoom)}};
            found.push_back(o);
        }
        const auto km = kilometre_at(ranges, position);
        if (!km || *km < 0) {
            Occurrence o;
            o.id = Diag::kilometre_not_printable;
            o.text = ErrorSource::train_text;
            o.at = values[0].field;
            o.position = position;
            o.record = id;
            o.arguments = {{"name", files::utf8_from_1252(name)},
                           {"position", std::to_string(position)},
                           {"reason", !km ? std::string("no kilometric range covers it")
                                          : "the range in force there reads " +
                                                std::to_string(*km) + " m, below 0"}};
            found.push_back(o);
        }
    }
    return found;
}

bool looks_like_train_text(const ReadScenario& scenario) {
    int train_kinds = 0;
    int line_kinds = 0;
    for (const auto& o : scenario.reading.occurrences()) {
        if (o.text == ErrorSource::line_text && o.id == Diag::other_text_record) {
            ++train_kinds;
        }
    }
    for (const auto& r : scenario.reading.records()) {
        if (r.text == ErrorSource::line_text) {
            ++line_kinds;
        }
    }
    return train_kinds >= 2 && line_kinds == 0;
}

bool has_errors(const std::vector<Diagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::error; });
}

std::vector<Diagnostic> diagnose(const ReadScenario& s, const DiagnoseOptions& options) {
    Diagnoser diagnoser(s);
    std::vector<Occurrence> occurrences = s.reading.occurrences();
    for (auto& o : document_occurrences(s)) {
        occurrences.push_back(std::move(o));
    }
    // The run is the dearest part of a check: not made when both of its diagnostics are off.
    if (!options.silenced.contains("timetable-too-tight") ||
        !options.silenced.contains("timetable-margin-low")) {
        for (auto& o : timetable_occurrences(s, options.run)) {
            occurrences.push_back(std::move(o));
        }
    }

    // Faults that follow from others: the stations of a table the sign boards filled, a text
    // without stations after station faults.
    const auto occurred = [&](Diag id) {
        return std::any_of(occurrences.begin(), occurrences.end(),
                           [id](const Occurrence& o) { return o.id == id && !o.standing; });
    };
    const bool boards_filled_table = occurred(Diag::sign_board_table_full);
    const bool station_faults =
        occurred(Diag::station_table_full) || occurred(Diag::station_off_grid) ||
        occurred(Diag::station_length_off_grid) || occurred(Diag::station_zones_too_close) ||
        occurred(Diag::no_stop_cell) || boards_filled_table;
    std::int32_t stations_not_read = 0;
    const bool ranges_dropped = occurred(Diag::kilometric_ranges_dropped);
    std::int32_t kilometres_lost = 0;

    std::vector<Diagnostic> all;
    std::vector<Diagnostic> standing;
    std::map<ErrorSource, bool> stop_told;
    for (const auto& o : occurrences) {
        const auto& entry = compiler::catalogue_entry(o.id);
        if (!compiler::is_fault(o.id) && options.silenced.contains(entry.name)) {
            continue;
        }
        if (o.id == Diag::station_table_full && boards_filled_table) {
            ++stations_not_read;
            continue;
        }
        if (o.id == Diag::missing_stations && station_faults) {
            continue;
        }
        if (o.id == Diag::kilometre_not_printable && ranges_dropped) {
            ++kilometres_lost;
            continue;
        }
        Diagnostic d = diagnoser.of(o);
        if (o.standing) {
            standing.push_back(std::move(d));
            continue;
        }
        // The first fault that stops a text is where the build stops reading it.
        const bool stops = entry.stops == compiler::Stops::text ||
                           entry.stops == compiler::Stops::reading ||
                           entry.stops == compiler::Stops::records;
        if (compiler::is_fault(o.id) && stops && d.place.in_text() && !stop_told[o.text]) {
            stop_told[o.text] = true;
            // After a stop in the line text the build reads no train text at all.
            if (o.text == ErrorSource::line_text) {
                stop_told[ErrorSource::train_text] = true;
            }
            d.notes.insert(d.notes.begin(),
                           Note{entry.stops == compiler::Stops::records
                                    ? "the build reads no record of this text after this one"
                                : o.text == ErrorSource::line_text
                                    ? "the build stops reading here: the records after it and "
                                      "the train text are not compiled"
                                    : "the build stops reading this text here: the records "
                                      "after it are not compiled",
                                {}});
        }
        all.push_back(std::move(d));
    }
    if (stations_not_read > 0) {
        for (auto& d : all) {
            if (d.id == Diag::sign_board_table_full) {
                d.notes.push_back({"the stations then find no entry either: " +
                                       std::to_string(stations_not_read) +
                                       " station lines are not stored",
                                   {}});
                break;
            }
        }
    }
    for (auto& d : all) {
        if (d.id == Diag::kilometric_ranges_dropped && kilometres_lost > 0) {
            d.notes.push_back({"so the train card has no kilometre for " +
                                   std::to_string(kilometres_lost) + " stations",
                               {}});
        }
    }
    // Where a fault standing from the line text stops the train text.
    for (auto& d : standing) {
        for (auto& cause : all) {
            if (is_route_end(cause)) {
                cause.notes.push_back(
                    {"the build then stops reading the train text here, at its "
                     "first signal or slowdown, and records this position " +
                         std::to_string(d.position.value_or(0)) + " m with this error",
                     d.place});
                break;
            }
        }
    }
    if (s.output.fatal != compiler::FatalOutcome::none) {
        Diagnostic d;
        if (s.output.fatal == compiler::FatalOutcome::no_cells) {
            if (s.state.errorNumber == 0) {
                d.place.file = s.line.name();
                d.message =
                    "the line description gives no route length ('lunghezza percorso'), so "
                    "there are no cells and no compact file is written";
                all.push_back(std::move(d));
            }
        } else {
            const auto id = s.output.fatal == compiler::FatalOutcome::format_markers_in_use
                                ? Diag::format_markers_in_use
                                : Diag::scenario_codes_in_use;
            d.id = id;
            d.code = code_of(id);
            d.message = std::string(compiler::catalogue_entry(id).meaning) +
                        ": something stands on cell 1, at the very start of the route, where "
                        "the format marker and the scenario code go; no compact file is written";
            d.hint = explain_hint(id);
            if (auto note = diagnoser.holder_note(1, "cell 1 is taken")) {
                d.notes.push_back(*note);
                d.place = note->place;
                d.notes.pop_back();
            }
            all.push_back(std::move(d));
        }
    }

    std::stable_sort(all.begin(), all.end(), [&](const Diagnostic& a, const Diagnostic& b) {
        return std::tuple(text_order(a, s), a.place.line, a.place.column, a.severity) <
               std::tuple(text_order(b, s), b.place.line, b.place.column, b.severity);
    });
    fold_consequences(s, all, options);
    if (options.strict) {
        for (auto& d : all) {
            if (d.severity == Severity::warning) {
                d.severity = Severity::error;
                d.notes.push_back({"a warning, made an error by --strict", {}});
            }
        }
    }
    return all;
}

}  // namespace scenario::tool
