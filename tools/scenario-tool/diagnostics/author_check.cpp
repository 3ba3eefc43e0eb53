#include "diagnostics/author_check.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <tuple>

#include "cli/exit_status.h"
#include "compiler/compile.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/record_descriptions.h"
#include "diagnostics/warning_catalogue.h"
#include "files/windows_1252.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

using compiler::ErrorSource;
using compiler::Fault;
using compiler::FieldFailure;
using compiler::FieldReader;
using compiler::KeywordField;
using compiler::RecordDescription;
using compiler::SourceTextKind;
using compiler::ValueDescription;
using compiler::ValueWidth;

// A compile that finds a new stopping fault in every round still ends.
constexpr int kMostRounds = 100;
constexpr std::int64_t kLongestText = 65535;

struct TextLine {
    std::int32_t number = 0;
    std::string_view content;  // without its line end
};

std::vector<TextLine> split_lines(std::string_view bytes) {
    std::vector<TextLine> lines;
    std::size_t start = 0;
    std::int32_t number = 1;
    while (start <= bytes.size()) {
        const auto end = bytes.find('\n', start);
        std::string_view content = bytes.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!content.empty() && content.back() == '\r' && end != std::string_view::npos) {
            content.remove_suffix(1);
        }
        lines.push_back({number++, content});
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

std::string quoted(std::string_view bytes) {
    return "'" + utf8_from_1252(bytes) + "'";
}

// "a position, a speed and a length"
std::string value_list(std::span<const ValueDescription> values) {
    std::string list;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            list += i + 1 == values.size() ? " and " : ", ";
        }
        const std::string_view name = values[i].name;
        const auto first_word = name.substr(0, name.find(' '));
        if (!first_word.ends_with('s')) {
            list +=
                std::string_view("aeiou").find(name[0]) == std::string_view::npos ? "a " : "an ";
        }
        list += name;
    }
    return list;
}

std::pair<std::int64_t, std::int64_t> range_of(ValueWidth width) {
    switch (width) {
        case ValueWidth::int16:
            return {std::numeric_limits<std::int16_t>::min(),
                    std::numeric_limits<std::int16_t>::max()};
        case ValueWidth::uint8:
            return {0, 255};
        default:
            return {std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max()};
    }
}

bool matches(const KeywordField& field, const RecordDescription& record) {
    for (const auto word : record.words) {
        if (word.empty()) {
            continue;
        }
        const bool found =
            record.match == compiler::KeywordMatch::exact ? field.has_exact(word) : field.has(word);
        if (!found) {
            return false;
        }
    }
    return true;
}

bool general_kind(const RecordDescription& record) {
    return record.section == "[generale]";
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

// A record as the author's line gives it: its kind, its place and the values read.
struct SeenRecord {
    const RecordDescription* kind = nullptr;
    std::int32_t line = 0;
    std::int32_t column = 0;  // of its first value
    std::vector<std::int64_t> values;
    bool complete = false;
};

// The second reading: line by line, as an author sees the text, with the readers' keyword
// rules and the record descriptions.
class SecondReading {
  public:
    SecondReading(const AuthorText& text, SourceTextKind kind, std::int32_t route_length,
                  std::int64_t last_cell)
        : text_(text), kind_(kind), route_length_(route_length), last_cell_(last_cell) {}

    void run() {
        check_encoding();
        // 0: before "[generale]"; 1: the general section (line text); 2: the records.
        int phase = 0;
        for (const auto& line : lines()) {
            const auto start = line.content.find_first_not_of(" \t");
            if (start == std::string_view::npos) {
                continue;
            }
            const auto comma = line.content.find(',', start);
            const std::string_view keyword = line.content.substr(
                start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
            const KeywordField field(keyword);
            if (phase == 0) {
                if (field.has("[generale]")) {
                    phase = kind_ == SourceTextKind::line_text ? 1 : 2;
                }
                continue;
            }
            if (field.has("[") && field.has("]") && !keyword.starts_with('-')) {
                phase = 2;
                continue;
            }
            if (field.has("-")) {
                continue;  // a separator field, skipped by the reader
            }
            const std::string_view rest = comma == std::string_view::npos
                                              ? std::string_view{}
                                              : line.content.substr(comma + 1);
            const auto rest_column = static_cast<std::int32_t>(comma + 2);
            read_record(line, keyword, field, rest, rest_column, phase);
        }
        finish();
    }

    std::vector<Diagnostic> warnings;
    std::map<std::int32_t, Diagnostic> causes;  // by line: why a reading failure happened there
    std::vector<SeenRecord> records;

    const std::vector<TextLine>& lines() {
        if (lines_.empty()) {
            lines_ = split_lines(text_.bytes);
        }
        return lines_;
    }

  private:
    void warn(std::string_view name, std::int32_t line, std::int32_t column, std::string message,
              std::string hint = {}, std::optional<std::int32_t> position = std::nullopt) {
        Diagnostic d;
        d.file = text_.file;
        d.line = line;
        d.column = column;
        d.severity = Severity::warning;
        d.code = std::string(name);
        d.message = std::move(message);
        d.hint = std::move(hint);
        d.position = position;
        warnings.push_back(std::move(d));
    }

    void cause(std::int32_t line, std::int32_t column, std::string message) {
        if (causes.contains(line)) {
            return;
        }
        Diagnostic d;
        d.file = text_.file;
        d.line = line;
        d.column = column;
        d.message = std::move(message);
        causes.emplace(line, std::move(d));
    }

    void check_encoding() {
        const std::string_view bytes = text_.bytes;
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            warn("byte-order-mark", 1, 1, "the text starts with a UTF-8 byte-order mark");
        }
        std::int32_t line = 1;
        std::size_t line_start = 0;
        bool utf8_told = false;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            const auto column = static_cast<std::int32_t>(i - line_start + 1);
            if (byte == '\n') {
                ++line;
                line_start = i + 1;
            } else if (byte == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) {
                warn("lone-cr", line, column, "a carriage return that ends no line");
            } else if (!utf8_told && i >= 3 && byte >= 0xC2 && byte <= 0xF4) {
                const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
                bool sequence = i + length <= bytes.size();
                for (std::size_t k = 1; sequence && k < length; ++k) {
                    sequence = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
                }
                if (sequence) {
                    const auto as_utf8 = valid_utf8(bytes.substr(i, length));
                    warn("utf8-text", line, column,
                         "these bytes read as " + quoted(bytes.substr(i, length)) +
                             " in Windows-1252, the texts' encoding; as UTF-8 they would be '" +
                             as_utf8 + "'",
                         "save the text as Windows-1252 (Western European)");
                    utf8_told = true;  // once per text is enough to tell the encoding
                }
            }
        }
    }

    const RecordDescription* other_text_kind(const KeywordField& field) const {
        for (const auto& record : compiler::kRecordDescriptions) {
            if (record.text != kind_ && matches(field, record)) {
                return &record;
            }
        }
        return nullptr;
    }

    void read_record(const TextLine& line, std::string_view keyword, const KeywordField& field,
                     std::string_view rest, std::int32_t rest_column, int phase) {
        bool known = false;
        for (const auto& record : compiler::kRecordDescriptions) {
            if (record.text != kind_ || !matches(field, record)) {
                continue;
            }
            // The line text's general section knows only the general settings, its record
            // section only the rest; the train text knows all its kinds everywhere.
            if (kind_ == SourceTextKind::line_text && general_kind(record) != (phase == 1)) {
                continue;
            }
            known = true;
            read_values(line, keyword, record, rest, rest_column);
        }
        if (known) {
            return;
        }
        const auto column = static_cast<std::int32_t>(keyword.data() - line.content.data() + 1);
        if (const auto* other = other_text_kind(field)) {
            warn("other-text-record", line.number, column,
                 "a " + std::string(other->kind) + " record belongs in the " +
                     (other->text == SourceTextKind::line_text ? "line" : "train") +
                     " text; this text skips it");
            return;
        }
        if (kind_ == SourceTextKind::line_text && phase == 1) {
            for (const auto& record : compiler::kRecordDescriptions) {
                if (record.text == kind_ && !general_kind(record) && matches(field, record)) {
                    warn("other-text-record", line.number, column,
                         "a " + std::string(record.kind) +
                             " record in the general section is skipped: the records follow a "
                             "section header such as [curve]");
                    return;
                }
            }
        }
        std::string message = "the keyword " + quoted(keyword) + " names no record kind";
        std::string hint;
        const std::string lower = files::to_lower_1252(keyword);
        std::size_t best = 3;
        for (const auto& record : compiler::kRecordDescriptions) {
            if (record.text != kind_) {
                continue;
            }
            const std::string candidate(record.keyword);
            const auto distance = edit_distance(lower, candidate);
            if (distance < best) {
                best = distance;
                hint = "did you mean '" + candidate + "'?";
            }
        }
        warn("unknown-keyword", line.number, column, message + "; the line is skipped", hint);
    }

    // The values of one record on its own line.
    void read_values(const TextLine& line, std::string_view keyword, const RecordDescription& kind,
                     std::string_view rest, std::int32_t rest_column) {
        SeenRecord seen;
        seen.kind = &kind;
        seen.line = line.number;
        FieldReader in(rest);
        const auto line_end = static_cast<std::int32_t>(line.content.size() + 1);
        const std::string name = "'" + utf8_from_1252(keyword) + "'";
        for (std::size_t i = 0; i < kind.values.size(); ++i) {
            const auto& value = kind.values[i];
            if (in.at_end()) {
                cause(line.number, line_end,
                      name + " needs " + value_list(kind.values) + "; the line ends " +
                          (i == 0 ? std::string("after the keyword")
                                  : "after the " + std::string(kind.values[i - 1].name)));
                records.push_back(std::move(seen));
                return;
            }
            try {
                std::int64_t read = 0;
                switch (value.width) {
                    case ValueWidth::int32:
                        read = in.read_int32(value.name);
                        break;
                    case ValueWidth::int16:
                        read = in.read_int16(value.name);
                        break;
                    case ValueWidth::uint8:
                        read = in.read_uint8(value.name);
                        break;
                    case ValueWidth::text:
                        in.read_text(value.name);
                        break;
                }
                if (i == 0) {
                    seen.column = rest_column + in.place().column - 1;
                }
                seen.values.push_back(read);
            } catch (const FieldFailure& failure) {
                const auto column = rest_column + failure.place().column - 1;
                cause(line.number, column, why_unreadable(name, value, rest, failure));
                records.push_back(std::move(seen));
                return;
            }
        }
        seen.complete = true;
        if (!in.at_end()) {
            const auto column =
                rest_column + static_cast<std::int32_t>(rest.size() - remaining(rest, in));
            warn("extra-values", line.number, column,
                 name + " takes " + value_list(kind.values) +
                     "; the values after them are read as keywords of nothing");
        }
        check_record(seen, name);
        records.push_back(std::move(seen));
    }

    // Bytes of `rest` after the reader's place: found again from the place of the next field.
    static std::size_t remaining(std::string_view rest, const FieldReader& in) {
        FieldReader probe = in;
        try {
            probe.read_text();
        } catch (const FieldFailure&) {
            return 0;
        }
        const auto column = static_cast<std::size_t>(probe.place().column);
        return column >= 1 && column <= rest.size() ? rest.size() - (column - 1) : 0;
    }

    static std::string why_unreadable(const std::string& name, const ValueDescription& value,
                                      std::string_view rest, const FieldFailure& failure) {
        const auto at = static_cast<std::size_t>(std::max(1, failure.place().column) - 1);
        std::string_view token = at < rest.size() ? rest.substr(at) : std::string_view{};
        token = token.substr(0, token.find(','));
        while (!token.empty() && (token.back() == ' ' || token.back() == '\t')) {
            token.remove_suffix(1);
        }
        if (value.width == ValueWidth::text) {
            return name + ": the " + std::string(value.name) + " of " +
                   std::to_string(token.size()) + " bytes is longer than " +
                   std::to_string(kLongestText);
        }
        if (token.find(';') != std::string_view::npos) {
            return name +
                   ": a ';' stands where a comma should separate the values (a "
                   "spreadsheet's export?)";
        }
        const auto digits = token.find_first_not_of("+-0123456789");
        if (digits != std::string_view::npos && token[digits] == '.' &&
            token.find_first_not_of("+-0123456789.") == std::string_view::npos) {
            return name + ": the " + std::string(value.name) + " " + quoted(token) +
                   " has a decimal point; values are whole numbers";
        }
        if (digits == std::string_view::npos && !token.empty()) {
            const auto [lowest, highest] = range_of(value.width);
            return name + ": the " + std::string(value.name) + " " + utf8_from_1252(token) +
                   " does not fit its field (" + std::to_string(lowest) + " to " +
                   std::to_string(highest) + ")";
        }
        return name + ": the " + std::string(value.name) + " " + quoted(token) + " is not a number";
    }

    struct LastOf {
        std::int64_t position = 0;
        std::int64_t end = 0;
        std::int32_t line = 0;
    };

    void check_record(const SeenRecord& seen, const std::string& name) {
        const auto before = warnings.size();
        check_record_values(seen, name);
        if (!seen.values.empty() && !general_kind(*seen.kind)) {
            for (auto i = before; i < warnings.size(); ++i) {
                warnings[i].position = static_cast<std::int32_t>(seen.values[0]);
            }
        }
    }

    void check_record_values(const SeenRecord& seen, const std::string& name) {
        const auto& kind = *seen.kind;
        const auto& v = seen.values;
        const bool positioned = !general_kind(kind);
        if (!positioned || v.empty()) {
            return;
        }
        const std::int64_t p = v[0];
        if (p < 0 || p > route_length_) {
            warn("position-outside-route", seen.line, seen.column,
                 name + " at " + std::to_string(p) + " m lies " +
                     (p < 0 ? std::string("before the start of the route")
                            : "past the end of the route at " + std::to_string(route_length_) +
                                  " m"));
        }
        auto& last = last_of_[std::string(kind.kind)];
        if (last.line > 0 && p < last.position) {
            warn("out-of-order", seen.line, seen.column,
                 name + " at " + std::to_string(p) + " m comes after the one at " +
                     std::to_string(last.position) + " m (line " + std::to_string(last.line) + ")");
        }
        if (kind.kind == "curve" && v.size() >= 2 && last.line > 0 && p < last.end &&
            p >= last.position) {
            warn("overlapping-curves", seen.line, seen.column,
                 "this curve starts at " + std::to_string(p) + " m, before the curve of line " +
                     std::to_string(last.line) + " ends at " + std::to_string(last.end) + " m");
        }
        const std::int64_t end = kind.kind == "curve" && v.size() >= 2 ? p + v[1] : p;
        last = {p, end, seen.line};
        value_checks(seen, name);
    }

    void value_checks(const SeenRecord& seen, const std::string& name) {
        const auto& kind = seen.kind->kind;
        const auto& v = seen.values;
        const auto changed = [&](const std::string& message) {
            warn("value-changed", seen.line, seen.column, name + ": " + message);
        };
        if (kind == "gradient" && (v[1] < -100 || v[1] > 155)) {
            const auto code = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v[1] + 100));
            changed("the gradient " + std::to_string(v[1]) + " is kept as code " +
                    std::to_string(code) + ", which reads as " + std::to_string(code - 100));
        } else if (kind == "adhesion" && (v[1] < 0 || v[1] > 255)) {
            changed("the adhesion " + std::to_string(v[1]) + " is kept as " +
                    std::to_string(static_cast<std::uint8_t>(static_cast<std::uint64_t>(v[1]))));
        } else if (kind == "maximum-speed board") {
            for (std::size_t i = 5; i <= 7 && i < v.size(); ++i) {
                if (v[i] != 0 && (v[i] % 5 != 0 || v[i] < 0 || v[i] >= 100)) {
                    changed("the right-hand speed " + std::to_string(v[i]) +
                            " is not a multiple of 5 below 100: packed with the left-hand "
                            "speed, it changes it");
                    break;
                }
            }
        } else if (kind == "code point" && (v[1] < -32768 || v[1] > 32767)) {
            changed("the code " + std::to_string(v[1]) + " is kept in its low 16 bits");
        } else if (kind == "signal" && v.size() == 11 && (v[10] < 0 || v[10] > 255)) {
            changed("the time " + std::to_string(v[10]) + " is kept in its low 8 bits");
        } else if (kind == "mountain span" && v.size() >= 2 && v[1] > 50 * last_cell_) {
            warn("cut-at-route-end", seen.line, seen.column,
                 name + " runs to " + std::to_string(v[1]) + " m, past the last cell at " +
                     std::to_string(50 * last_cell_) + " m; it is cut there");
        }
        if ((kind == "signal" || kind == "slowdown" || kind == "code point") && v[0] % 50 != 0) {
            warn("not-on-grid", seen.line, seen.column,
                 name + " at " + std::to_string(v[0]) +
                     " m is not on the 50 m grid; it lands on the nearest cell");
        }
        if (kind == "station" && v.size() >= 16) {
            station_time(seen, name);
        }
    }

    void station_time(const SeenRecord& seen, const std::string& name) {
        const auto& v = seen.values;
        const std::int64_t hours = v[13];
        const std::int64_t minutes = v[14];
        const std::int64_t seconds = v[15];
        if (minutes >= 60 || seconds >= 60 || minutes < 0 || seconds < 0 || hours < 0) {
            warn("station-time", seen.line, seen.column,
                 name + ": " + std::to_string(hours) + ":" + std::to_string(minutes) + ":" +
                     std::to_string(seconds) + " is not a time of day");
        }
        const std::int64_t time = (hours * 60 + minutes) * 60 + seconds;
        if (time == 0) {
            return;  // no scheduled time here
        }
        if (last_time_ > 0 && time < last_time_) {
            warn("station-time", seen.line, seen.column,
                 name + ": the time comes before the time of the station at line " +
                     std::to_string(last_time_line_));
        }
        last_time_ = time;
        last_time_line_ = seen.line;
    }

    void finish() {
        if (kind_ != SourceTextKind::train_text) {
            return;
        }
        const bool any_station = std::any_of(records.begin(), records.end(), [](const auto& r) {
            return r.kind->kind == "station";
        });
        if (!any_station) {
            warn("missing-stations", 0, 0, "the train text holds no station",
                 "is it the train service text? Its stations are 'stazione' lines");
        }
    }

    const AuthorText& text_;
    SourceTextKind kind_;
    std::int32_t route_length_;
    std::int64_t last_cell_;
    std::vector<TextLine> lines_;
    std::map<std::string, LastOf> last_of_;
    std::int64_t last_time_ = 0;
    std::int32_t last_time_line_ = 0;
};

std::string error_message(std::int32_t number, std::optional<std::int32_t> position) {
    std::string message(compiler::error_meaning(number));
    if (position) {
        message += " (position " + std::to_string(*position) + " m)";
    }
    return message;
}

std::string explain_hint(std::int32_t number) {
    return "'scenario-tool explain " + std::to_string(number) + "' tells the cause and the mend";
}

// Blanks a line of a text in place, its line end kept, so that the lines after it keep their
// numbers: the build then reads on past it.
void blank_line(std::string& text, std::int32_t number) {
    std::int32_t line = 1;
    std::size_t start = 0;
    while (line < number) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            return;
        }
        start = end + 1;
        ++line;
    }
    for (std::size_t i = start; i < text.size() && text[i] != '\n' && text[i] != '\r'; ++i) {
        text[i] = ' ';
    }
}

class Checker {
  public:
    Checker(const AuthorText& line_text, const AuthorText& train_text, std::int32_t buildFlag)
        : line_text_(line_text), train_text_(train_text), build_flag_(buildFlag) {}

    std::vector<Diagnostic> run(std::optional<FirstCompile> given) {
        std::string line_bytes(line_text_.bytes);
        std::string train_bytes(train_text_.bytes);
        std::int32_t route_length = 0;
        std::int64_t last_cell = 0;
        std::optional<compiler::BuildState> owned;
        const compiler::BuildState* last = nullptr;
        for (int round = 0; round < kMostRounds; ++round) {
            compiler::BuildState state;
            compiler::FatalOutcome fatal = compiler::FatalOutcome::none;
            const compiler::BuildState* current = &state;
            if (round == 0 && given) {
                current = &given->state;
                fatal = given->output.fatal;
            } else {
                fatal = compiler::compile_scenario(state, input(line_bytes, train_bytes)).fatal;
            }
            const auto stops = record_faults(*current, round == 0);
            if (round == 0) {
                route_length = current->locations[compiler::entry::train].zoneEnd;
                last_cell = current->has_cells() ? current->last_cell() : 0;
                fatal_outcome(*current, fatal);
            }
            if (current == &state) {
                owned = std::move(state);
                current = &*owned;
            }
            last = current;
            if (stops.empty() || fatal == compiler::FatalOutcome::no_cells) {
                break;
            }
            if (round + 1 == kMostRounds) {
                errors_.back().notes.push_back("too many errors: the check stops here");
            }
            for (const auto& [source, line] : stops) {
                blank_line(source == ErrorSource::line_text ? line_bytes : train_bytes, line);
            }
        }
        SecondReading line_reading(line_text_, SourceTextKind::line_text, route_length, last_cell);
        SecondReading train_reading(train_text_, SourceTextKind::train_text, route_length,
                                    last_cell);
        line_reading.run();
        train_reading.run();
        attach_causes(line_reading, ErrorSource::line_text);
        attach_causes(train_reading, ErrorSource::train_text);
        signalling_faults(*last, train_reading);

        std::vector<Diagnostic> all = std::move(errors_);
        all.insert(all.end(), line_reading.warnings.begin(), line_reading.warnings.end());
        all.insert(all.end(), train_reading.warnings.begin(), train_reading.warnings.end());
        attach_source_lines(line_reading, train_reading, all);
        std::stable_sort(all.begin(), all.end(), [this](const Diagnostic& a, const Diagnostic& b) {
            return std::tuple(file_order(a), a.line, a.column, a.severity) <
                   std::tuple(file_order(b), b.line, b.column, b.severity);
        });
        return all;
    }

  private:
    compiler::CompileInput input(const std::string& line_bytes, const std::string& train_bytes) {
        compiler::CompileInput in;
        in.line_text = compiler::SourceText::of(line_bytes);
        in.train_text = compiler::SourceText::of(train_bytes);
        in.LineTitle = "CHECK";
        in.TrainCode = "C";
        in.buildFlag = build_flag_;
        return in;
    }

    const AuthorText& text_of(ErrorSource source) const {
        return source == ErrorSource::line_text ? line_text_ : train_text_;
    }

    int file_order(const Diagnostic& d) const {
        if (d.file.empty()) {
            return 3;
        }
        return d.file == line_text_.file ? (d.line == 0 ? 1 : 0) : (d.line == 0 ? 2 : 1);
    }

    // The faults of one compile that are new; returns the records that stopped a text.
    std::vector<std::pair<ErrorSource, std::int32_t>> record_faults(
        const compiler::BuildState& state, bool first_round) {
        std::vector<std::pair<ErrorSource, std::int32_t>> stops;
        std::optional<std::size_t> standing_fault;
        for (const auto& fault : state.faultLog) {
            const auto source = fault.site.source;
            if (source != ErrorSource::line_text && source != ErrorSource::train_text) {
                continue;
            }
            if (fault.standing) {
                if (first_round && standing_fault) {
                    errors_[*standing_fault].notes.push_back(
                        "the build then stops reading the train text at line " +
                        std::to_string(fault.site.line) +
                        ", its first signal or slowdown, and records its position " +
                        std::to_string(fault.position.value_or(0)) + " m with this error");
                }
                continue;
            }
            const auto key = std::tuple(static_cast<int>(source), fault.site.line, fault.number);
            const bool stopping =
                fault.number != compiler::number_of(Fault::kilometric_range_off_grid);
            if (stopping && fault.site.line > 0) {
                stops.emplace_back(source, fault.site.line);
            }
            if (!seen_.insert(key).second) {
                continue;
            }
            Diagnostic d;
            d.file = text_of(source).file;
            d.line = fault.site.line;
            d.column = fault.site.column;
            d.code = std::to_string(fault.number);
            d.message = error_message(fault.number, fault.position);
            d.position = fault.position;
            if (!fault.site.detail.empty()) {
                d.message = "the text could not be read: " + fault.site.detail;
            }
            d.hint = explain_hint(fault.number);
            if (first_round && stopping && !stopped_.contains(source)) {
                stopped_.insert(source);
                d.notes.push_back(
                    fault.number == compiler::number_of(Fault::record_near_route_end)
                        ? std::string("the build reads no record of this text after this one")
                        : std::string("the build stops reading this text here: the records "
                                      "after it are not compiled"));
            }
            if (fault.number == compiler::number_of(Fault::record_near_route_end)) {
                standing_fault = errors_.size();
            }
            errors_.push_back(std::move(d));
        }
        return stops;
    }

    // A reading failure says what exactly is wrong with its record, when the line tells.
    void attach_causes(const SecondReading& reading, ErrorSource source) {
        for (auto& d : errors_) {
            if (d.file != text_of(source).file ||
                d.code != std::to_string(compiler::number_of(Fault::reading_failure))) {
                continue;
            }
            const auto cause = reading.causes.find(d.line);
            if (cause != reading.causes.end()) {
                d.message = cause->second.message;
                d.column = cause->second.column;
            }
        }
    }

    // Faults of the signalling pass, from the most complete compile, with the records whose
    // cells are involved.
    void signalling_faults(const compiler::BuildState& state, const SecondReading& train) {
        std::set<std::pair<std::int32_t, std::int32_t>> told;
        for (const auto& fault : state.faultLog) {
            if (fault.site.source != ErrorSource::signalling ||
                !told.insert({fault.number, fault.site.cell}).second) {
                continue;
            }
            const std::int64_t cell = fault.site.cell;
            Diagnostic d;
            d.file = train_text_.file;
            d.code = std::to_string(fault.number);
            d.message = std::string(compiler::error_meaning(fault.number)) + " (cell " +
                        std::to_string(cell) + ", position " +
                        std::to_string(fault.position.value_or(0)) + " m)";
            d.hint = explain_hint(fault.number);
            d.position = fault.position;
            for (const auto& record : train.records) {
                if (!record.complete || record.values.empty()) {
                    continue;
                }
                const std::int64_t p = record.values[0];
                const auto& kind = record.kind->kind;
                if (kind == "slowdown") {
                    const std::int64_t first = (p - 1200) / 50 - 21;
                    const std::int64_t end = (p + record.values[2]) / 50 + 13;
                    if (cell >= first && cell <= end) {
                        if (d.line == 0) {
                            d.line = record.line;
                            d.column = record.column;
                        }
                        d.notes.push_back("the slowdown at " + std::to_string(p) + " m (line " +
                                          std::to_string(record.line) +
                                          ") asks for this code point");
                    }
                } else if (kind == "signal" || kind == "code point") {
                    // The cells the rule looked at: the three windows up to 20 cells before a
                    // slowdown's start, or the cells next to a point's place.
                    const std::int64_t reach =
                        fault.number ==
                                compiler::number_of(Fault::no_code_point_cell_before_slowdown)
                            ? 20
                            : 3;
                    const std::int64_t at = p / 50 + (kind == "signal" ? 1 : 0);
                    if (at >= cell - reach && at <= cell + 1) {
                        d.notes.push_back("the " + std::string(kind) + " at " + std::to_string(p) +
                                          " m (line " + std::to_string(record.line) +
                                          ") stands on cell " + std::to_string(at));
                    }
                }
            }
            errors_.push_back(std::move(d));
        }
    }

    void fatal_outcome(const compiler::BuildState& state, compiler::FatalOutcome fatal) {
        if (fatal == compiler::FatalOutcome::none) {
            return;
        }
        Diagnostic d;
        if (fatal == compiler::FatalOutcome::no_cells) {
            if (state.errorNumber != 0) {
                return;  // told with its own fault
            }
            d.file = line_text_.file;
            d.message =
                "the line description gives no route length ('lunghezza percorso'), so "
                "there are no cells and no compact file is written";
        } else {
            const auto number = compiler::fatal_error_number(fatal);
            d.code = std::to_string(number);
            d.message = std::string(compiler::error_meaning(number)) +
                        ": something stands on cell 1, at the very start of the route, where "
                        "the format marker and the scenario code go; no compact file is written";
            d.hint = explain_hint(number);
        }
        errors_.push_back(std::move(d));
    }

    void attach_source_lines(SecondReading& line_reading, SecondReading& train_reading,
                             std::vector<Diagnostic>& diagnostics) {
        for (auto& d : diagnostics) {
            if (d.line <= 0 || !d.source_line.empty()) {
                continue;
            }
            auto& reading = d.file == line_text_.file ? line_reading : train_reading;
            const auto& lines = reading.lines();
            if (static_cast<std::size_t>(d.line) <= lines.size()) {
                d.source_line = std::string(lines[static_cast<std::size_t>(d.line - 1)].content);
            }
        }
    }

    const AuthorText& line_text_;
    const AuthorText& train_text_;
    std::int32_t build_flag_;
    std::vector<Diagnostic> errors_;
    std::set<std::tuple<int, std::int32_t, std::int32_t>> seen_;
    std::set<ErrorSource> stopped_;
};

}  // namespace

std::vector<Diagnostic> check_texts(const AuthorText& line_text, const AuthorText& train_text,
                                    const CheckOptions& options,
                                    std::optional<FirstCompile> first) {
    auto all = Checker(line_text, train_text, options.buildFlag).run(first);
    std::erase_if(all, [&](const Diagnostic& d) {
        return d.severity == Severity::warning && options.silenced.contains(d.code);
    });
    if (options.strict) {
        for (auto& d : all) {
            if (d.severity == Severity::warning) {
                d.severity = Severity::error;
                d.notes.push_back("a warning, made an error by --strict");
            }
        }
    }
    return all;
}

std::vector<std::string> take_warning_options(const std::vector<std::string>& args,
                                              CheckOptions& options) {
    std::vector<std::string> rest;
    for (const auto& arg : args) {
        if (!arg.starts_with("-Wno-")) {
            rest.push_back(arg);
            continue;
        }
        const std::string name = arg.substr(5);
        if (find_warning(name) == nullptr) {
            throw UsageError("there is no warning '" + valid_utf8(name) +
                             "'; 'scenario-tool explain --list' lists them");
        }
        options.silenced.insert(name);
    }
    return rest;
}

bool has_errors(const std::vector<Diagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::error; });
}

}  // namespace scenario::tool
