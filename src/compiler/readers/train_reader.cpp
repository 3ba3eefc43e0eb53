#include "compiler/readers/train_reader.h"

#include <limits>
#include <string>

#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/record_descriptions.h"
#include "compiler/readers/record_reading.h"
#include "files/windows_1252.h"

namespace scenario::compiler {

namespace {

// Station kinds by how their stop zone is laid out.
namespace station_kind {
// A halt whose zone ends 150 m past its position and that gets no approach marks.
constexpr bool is_short_halt(std::int64_t t) {
    return t == 5 || t == 6;
}
// A zone that runs a whole platform length on both sides of the position.
constexpr bool is_double_zone(std::int64_t t) {
    return t == 7 || t == 8;
}
// Kinds from this one on are passed through: a zone, but no stop cell and no approach marks.
constexpr std::int64_t kFirstWithoutStop = 25;
}  // namespace station_kind

// Stop zones of consecutive stations must lie at least this far apart.
constexpr std::int64_t kZoneGap = 350;
// A platform shorter than this is never long.
constexpr std::int32_t kLongPlatform = 600;
constexpr std::int64_t kSecondsOfADay = 24 * 3600;

// Zone bounds and times are 32-bit fields; a value that cannot be held is a reading failure.
std::int32_t fitting_int32(std::int64_t value, TextPlace where, const char* what) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        throw FieldFailure(where, std::string(what) + " does not fit a 32-bit field");
    }
    return static_cast<std::int32_t>(value);
}

std::string two_digits(std::int64_t v) {
    return (v >= 0 && v < 10 ? "0" : "") + std::to_string(v);
}

// What stands on a cell, for people.
std::string_view object_name(std::uint8_t kind) {
    switch (kind) {
        case cell_kind::signal:
            return "signal";
        case cell_kind::slowdown_end:
            return "slowdown's end board";
        case cell_kind::slowdown_start:
            return "slowdown's start board";
        case cell_kind::slowdown_warning:
            return "slowdown's warning board";
        case cell_kind::warning_approach:
            return "slowdown's approach cell";
        case cell_kind::speed_board:
            return "maximum-speed board";
        case cell_kind::station_stop:
            return "stop cell of another station";
        case cell_kind::code_point:
            return "code point";
        case cell_kind::code_point_cancel:
            return "cancelled code point";
        case cell_kind::sign_board:
            return "sign board";
        default:
            return "object";
    }
}

class TrainTextReader : RecordReading {
  public:
    TrainTextReader(BuildState& state, FieldReader& in, const LineTextOutcome& line_text)
        : RecordReading(state, in, ErrorSource::train_text), line_text_(line_text) {
        // A fault of the line text that let the build read on (a code 15) stops the train text
        // at its first signal or slowdown.
        standing_ = line_text.build_stopped ? 0 : state.errorNumber;
    }

    void run() {
        // Everything before the general section is ignored; a text without one is no fault.
        std::int32_t told_line = 0;
        while (!in_.at_end()) {
            const KeywordField field(in_.read_keyword());
            if (field.has("[generale]")) {
                break;
            }
            if (observing()) {
                observer_->keyword(source_, in_.span(), KeywordUse::before_general);
                const auto kinds = kinds_named_by(field, SourceTextKind::train_text);
                if (!kinds.empty() && in_.span().place.line != told_line) {
                    told_line = in_.span().place.line;
                    warn(Diag::before_general, in_.span(), std::nullopt,
                         {{"kind", std::string(kinds.front()->kind)}});
                }
            }
        }
        if (records() == Flow::stop) {
            return;
        }
        finish();
    }

  private:
    Flow records() {
        return read_records([this](const KeywordField& field, const FieldSpan& keyword) {
            return record_tests(field, keyword);
        });
    }

    // Reads one record of a kind, telling the observer where it begins and how it ends.
    template <class Body>
    Flow record(std::string_view kind, const FieldSpan& keyword, Body&& body) {
        begin_record(record_description(kind), keyword);
        const Flow flow = body();
        end_record(flow == Flow::go_on            ? RecordEnd::placed
                   : flow == Flow::end_of_records ? RecordEnd::refused
                                                  : RecordEnd::stopped);
        return flow;
    }

    Flow record_tests(const KeywordField& field, const FieldSpan& keyword) {
        Flow flow = Flow::go_on;
        auto& train = state_.locations[entry::train];
        auto& repetition = state_.locations[entry::repetition];
        if (field.has("frenata") && field.has("massa")) {
            record("braked mass", keyword, [&] {
                train.zoneStart = in_.read_int32(record_values::kBrakedMass[0].name);
                return Flow::go_on;
            });
        }
        if (field.has("vetture")) {
            record("coaches", keyword, [&] {
                train.position = in_.read_int32(record_values::kCoaches[0].name);
                return Flow::go_on;
            });
        }
        if (field.has("velocit")) {
            flow = record("speed limit", keyword, [&] { return speed_limit(); });
        }
        if (flow == Flow::go_on && field.has("aderenza")) {
            flow = record("adhesion", keyword, [&] { return adhesion(); });
        }
        if (flow == Flow::go_on && field.has("orologio")) {
            record("clock", keyword, [&] {
                repetition.param10 = in_.read_int16(record_values::kClock[0].name);
                const FieldSpan at = in_.span();
                repetition.param11 = in_.read_int16(record_values::kClock[1].name);
                repetition.param12 = in_.read_int16(record_values::kClock[2].name);
                clock_checks(repetition.param10, repetition.param11, repetition.param12, at);
                return Flow::go_on;
            });
        }
        if (flow == Flow::go_on && field.has("sabbia")) {
            record("sand", keyword, [&] {
                repetition.param7 = in_.read_int16(record_values::kSand[0].name);
                return Flow::go_on;
            });
        }
        if (flow == Flow::go_on && field.has("segnale")) {
            flow = record("signal", keyword, [&] { return signal(); });
        }
        if (flow == Flow::go_on && field.has("rallentamento")) {
            flow = record("slowdown", keyword, [&] { return slowdown(); });
        }
        if (flow == Flow::go_on && field.has("abbattimento")) {
            flow = record("code point", keyword, [&] { return code_point(); });
        }
        if (flow == Flow::go_on && field.has("stazione")) {
            flow = record("station", keyword, [&] { return counted_station(keyword); });
        }
        return flow;
    }

    void clock_checks(std::int64_t h, std::int64_t m, std::int64_t s, const FieldSpan& at) {
        if (observing() && (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)) {
            warn(Diag::clock_not_a_time, at, std::nullopt,
                 {{"written", std::to_string(h) + ":" + two_digits(m) + ":" + two_digits(s)}});
        }
    }

    Flow speed_limit() {
        const std::int32_t p = in_.read_int32(record_values::kSpeedLimit[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(p, at.place)) {
            return Flow::end_of_records;
        }
        const std::int32_t v = in_.read_int32(record_values::kSpeedLimit[1].name);
        const FieldSpan speed_at = in_.span();
        if (observing()) {
            if (speed_fill_.records_seen() == 0 && round_half_even(p / 50.0) > 0) {
                warn(Diag::before_first_record, at, p,
                     {{"kind", "speed limit"},
                      {"position", std::to_string(p)},
                      {"value", "a speed limit of 0 km/h"}});
            }
            position_checks("speed limit", p, at);
            const std::int64_t stored = round_half_even(v / 5.0) * 5;
            if (stored != v && stored >= 0 && stored <= 1275) {
                warn(Diag::speed_not_on_step, speed_at, p,
                     {{"written", std::to_string(v)}, {"stored", std::to_string(stored)}});
            }
        }
        speed_fill_.record(p, v, speed_at.place, state_.cells, current_);
        speed_fill_.tell(observer_);
        return Flow::go_on;
    }

    auto write_adhesion() {
        return [this](std::size_t c, std::int32_t a) {
            state_.cells[c].adhesion = low_bits<std::uint8_t>(a);
        };
    }

    Flow adhesion() {
        const Flow flow =
            profile_record(adhesion_fill_, record_values::kAdhesion, write_adhesion());
        if (flow == Flow::go_on && observing() && (profile_value_ < 0 || profile_value_ > 255)) {
            warn(Diag::value_changed, profile_value_at_, adhesion_fill_.last_position(),
                 {{"value", "adhesion"},
                  {"written", std::to_string(profile_value_)},
                  {"stored", std::to_string(low_bits<std::uint8_t>(profile_value_))},
                  {"reads", " (its low 8 bits)"}});
        }
        return flow;
    }

    Flow signal() {
        const std::int32_t posizione = in_.read_int32(record_values::kSignal[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(posizione, at.place)) {
            return Flow::end_of_records;
        }
        std::array<std::int32_t, 10> v{};
        std::array<FieldSpan, 10> spans{};
        for (std::size_t i = 0; i < v.size(); ++i) {
            v[i] = in_.read_int32(record_values::kSignal[i + 1].name);
            spans[i] = in_.span();
        }
        const auto [sx, s1, s2, s3, rapp, dx, d1, d2, d3, written_tempo] = v;
        std::int32_t tempo = written_tempo;
        if (observing()) {
            position_checks("signal", posizione, at);
            signal_checks(v, spans, posizione);
            state_.currentRecordAt = at;
        }
        const std::int32_t before = state_.faultsRecorded;
        memo_segnale(state_, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo);
        return stop_if_fault_stands(before, posizione, at);
    }

    // What the packing of a signal does to the values an author wrote.
    void signal_checks(const std::array<std::int32_t, 10>& v, const std::array<FieldSpan, 10>& at,
                       std::int32_t posizione) {
        const std::int32_t sx = v[0];
        const std::int32_t tempo = v[9];
        if (tempo >= 1 && tempo <= 100) {
            warn(Diag::signal_time_raised, at[9], posizione, {{"written", std::to_string(tempo)}});
        } else if (sx != 2 && tempo != 0) {
            warn(Diag::signal_time_dropped, at[9], posizione, {{"written", std::to_string(tempo)}});
        } else if (tempo < 0 || tempo > 255) {
            warn(Diag::value_changed, at[9], posizione,
                 {{"value", "time"},
                  {"written", std::to_string(tempo)},
                  {"stored", std::to_string(low_bits<std::uint8_t>(tempo))},
                  {"reads", " (its low 8 bits)"}});
        }
        // d1, d2 and d3 share a field with s1, s2 and s3 as s * 10 + d, and dx one with sx and
        // the repeater as rapp * 10 + sx * 3 + dx.
        for (std::size_t i = 6; i <= 8; ++i) {
            if (v[i] < 0 || v[i] > 9) {
                const std::int64_t packed = std::int64_t{v[i - 5]} * 10 + v[i];
                warn(Diag::value_changed, at[i], posizione,
                     {{"value", std::string(record_values::kSignal[i + 1].name)},
                      {"written", std::to_string(v[i])},
                      {"stored", "part of " + std::to_string(packed)},
                      {"reads", ", which changes the aspect on the left: 0 to 9 fit"}});
            }
        }
        const std::int64_t light = std::int64_t{sx} * 3 + v[5];
        if (light < 0 || light > 9) {
            warn(Diag::value_changed, at[5], posizione,
                 {{"value", "right light"},
                  {"written", std::to_string(v[5])},
                  {"stored", "part of " + std::to_string(std::int64_t{v[4]} * 10 + light)},
                  {"reads", ", which changes the repeater: sx * 3 + dx must stay below 10"}});
        }
    }

    Flow slowdown() {
        const std::int32_t x = in_.read_int32(record_values::kSlowdown[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(x, at.place)) {
            return Flow::end_of_records;
        }
        const std::int32_t v = in_.read_int32(record_values::kSlowdown[1].name);
        const std::int32_t l = in_.read_int32(record_values::kSlowdown[2].name);
        const FieldSpan length_at = in_.span();
        const std::int32_t f_tt = in_.read_int32(record_values::kSlowdown[3].name);
        const std::int32_t f_ta = in_.read_int32(record_values::kSlowdown[4].name);
        const FieldSpan f_ta_at = in_.span();
        const std::int32_t d_v = in_.read_int32(record_values::kSlowdown[5].name);
        if (observing()) {
            position_checks("slowdown", x, at);
            const std::int64_t a = board_cell(x);
            const std::int64_t e = board_cell(std::int64_t{x} + l);
            if (e <= a) {
                warn(Diag::slowdown_empty, length_at, x,
                     {{"length", std::to_string(l)},
                      {"start", std::to_string(a)},
                      {"end", std::to_string(e)}});
            }
            if (x <= 1500 && f_ta != 0) {
                warn(Diag::slowdown_without_warning, f_ta_at, x, {{"position", std::to_string(x)}});
            }
            state_.currentRecordAt = at;
        }
        const std::int32_t before = state_.faultsRecorded;
        memo_rallentamento(state_, x, v, l, f_tt, f_ta, d_v);
        return stop_if_fault_stands(before, x, at);
    }

    Flow code_point() {
        const std::int32_t p = in_.read_int32(record_values::kCodePoint[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(p, at.place)) {
            return Flow::end_of_records;
        }
        const std::int32_t a = in_.read_int32(record_values::kCodePoint[1].name);
        const FieldSpan code_at = in_.span();
        if (observing()) {
            position_checks("code point", p, at);
            if (a < std::numeric_limits<std::int16_t>::min() ||
                a > std::numeric_limits<std::int16_t>::max()) {
                warn(Diag::value_changed, code_at, p,
                     {{"value", "code"},
                      {"written", std::to_string(a)},
                      {"stored", std::to_string(low_bits<std::int16_t>(a))},
                      {"reads", " (its low 16 bits)"}});
            }
        }
        const std::int64_t c = round_half_even(p / 50.0);
        TrackCell* cell = cell_at(state_, c);
        if (cell == nullptr || !is_free(*cell)) {
            auto occurrence = occurrence_at(at);
            occurrence.cell = cell == nullptr ? -1 : static_cast<std::int32_t>(c);
            occurrence.involved = {occurrence.cell};
            record_fault<Fault::code_point_cell_taken>(state_, p, site(at.place), occurrence);
            return Flow::stop;
        }
        if (a > 0) {
            cell->kind = cell_kind::code_point;
            cell->ref = low_bits<std::int16_t>(a);
        } else {
            cell->kind = cell_kind::code_point_cancel;
        }
        tell_cells(state_, CellUse::object, c, c);
        return Flow::go_on;
    }

    // Check mode numbers the stations after one that failed as the author counts them, so that
    // the next is not taken for the first.
    Flow counted_station(const FieldSpan& keyword) {
        if (!recovering()) {
            return station(keyword);
        }
        const std::int32_t number = station_;
        Flow flow = Flow::go_on;
        try {
            flow = station(keyword);
        } catch (const std::exception&) {
            next_station_after(number);
            throw;
        }
        if (flow != Flow::go_on) {
            next_station_after(number);
        }
        return flow;
    }

    void next_station_after(std::int32_t number) {
        if (station_ == number && station_ < line_text_.signSlot) {
            ++station_;
        }
    }

    // A station record: read into the next station entry, then its zone, its approach marks
    // and stop cell, and the gap to the station before.
    Flow station(const FieldSpan& keyword) {
        // Station entries grow upwards to just below the sign boards; with the table full of
        // boards even the first station has no entry.
        if (station_ > line_text_.signSlot) {
            return stop<Fault::station_table_full>(keyword.place);
        }
        auto& s = state_.locations[static_cast<std::size_t>(station_)];
        const std::int32_t p = in_.read_int32(record_values::kStation[0].name);
        const FieldSpan at = in_.span();
        s.position = p;
        if (refused_near_end(p, at.place, kStationMargin)) {
            return Flow::end_of_records;
        }
        if (p % 50 != 0) {
            return stop<Fault::station_off_grid>(p, at);
        }
        s.kind = in_.read_uint8(record_values::kStation[1].name);
        const std::int32_t platform = in_.read_int32(record_values::kStation[2].name);
        if (platform % 100 != 0) {
            return stop<Fault::station_length_off_grid>(p, in_.place());
        }
        const StationValues written = read_station_values(s);
        if (observing()) {
            // Stations out of order are told by the gap between their zones (22).
            position_checks("station", p, at, false, false);
            station_checks(s, written, at);
            state_.currentRecordAt = at;
        }

        station_zone(s, p, platform, at.place);
        if (observing()) {
            flags_checks(s, written, platform);
        }
        if (s.kind < station_kind::kFirstWithoutStop) {
            const Flow flow = stop_cell(s, at);
            if (flow != Flow::go_on) {
                return flow;
            }
        }
        if (!placed_.empty() && std::int64_t{s.zoneStart} - kZoneGap < placed_.back().zoneEnd) {
            return zones_too_close(s, at);
        }
        placed_.push_back({s.zoneEnd, p, at.place.line, current_});
        ++station_;
        state_.stationCount = station_ - 1;
        if (station_ >= line_text_.signSlot) {
            return stop<Fault::station_table_full>(keyword.place);
        }
        return Flow::go_on;
    }

    // The values of a station as written, where the build may store others.
    struct StationValues {
        std::uint8_t longFlag = 0;
        std::uint8_t extendFlag = 0;
        FieldSpan longFlagAt;
        FieldSpan extendFlagAt;
        std::int64_t hours = 0;
        std::int64_t minutes = 0;
        std::int64_t seconds = 0;
        FieldSpan timeAt;
        FieldSpan nameAt;
    };

    // Values 4 to 17 of a station record, after its position, kind and platform length.
    StationValues read_station_values(LocationEntry& s) {
        StationValues written;
        s.param4 = in_.read_uint8(record_values::kStation[3].name);
        s.longFlag = in_.read_uint8(record_values::kStation[4].name);
        written.longFlag = s.longFlag;
        written.longFlagAt = in_.span();
        s.extendFlag = in_.read_uint8(record_values::kStation[5].name);
        written.extendFlag = s.extendFlag;
        written.extendFlagAt = in_.span();
        s.param7 = in_.read_int16(record_values::kStation[6].name);
        s.param8 = in_.read_int16(record_values::kStation[7].name);
        s.param9 = in_.read_uint8(record_values::kStation[8].name);
        s.param10 = in_.read_int16(record_values::kStation[9].name);
        s.param11 = in_.read_int16(record_values::kStation[10].name);
        s.param12 = in_.read_int16(record_values::kStation[11].name);
        s.dwell = in_.read_uint8(record_values::kStation[12].name);
        const std::int64_t hours = in_.read_int32(record_values::kStation[13].name);
        const TextPlace time = in_.place();
        written.timeAt = in_.span();
        const std::int64_t minutes = in_.read_int32(record_values::kStation[14].name);
        const std::int64_t seconds = in_.read_int32(record_values::kStation[15].name);
        s.name = in_.read_text(record_values::kStation[16].name);
        written.nameAt = in_.span();
        s.timeOfDay = fitting_int32((hours * 60 + minutes) * 60 + seconds, time, "the time");
        written.hours = hours;
        written.minutes = minutes;
        written.seconds = seconds;
        return written;
    }

    void station_checks(const LocationEntry& s, const StationValues& written, const FieldSpan& at) {
        const std::string name = files::utf8_from_1252(s.name);
        control_characters("name", s.name, written.nameAt);
        const bool timed = written.hours != 0 || written.minutes != 0 || written.seconds != 0;
        if (!timed) {
            return;
        }
        const std::string shown = std::to_string(written.hours) + ":" +
                                  two_digits(written.minutes) + ":" + two_digits(written.seconds);
        if (written.minutes < 0 || written.minutes > 59 || written.seconds < 0 ||
            written.seconds > 59 || written.hours < 0) {
            warn(Diag::station_time, written.timeAt, s.position,
                 {{"name", name},
                  {"problem", "the time " + shown +
                                  " is not a time of day; its values are added as they are"}});
        } else if (s.timeOfDay >= kSecondsOfADay) {
            warn(Diag::time_past_day, written.timeAt, s.position,
                 {{"name", name}, {"time", shown}, {"seconds", std::to_string(s.timeOfDay)}});
        } else if (last_time_line_ > 0 && s.timeOfDay < last_time_) {
            warn(Diag::station_time, written.timeAt, s.position,
                 {{"name", name},
                  {"problem", "its time " + shown + " lies before that of the station of line " +
                                  std::to_string(last_time_line_)}});
        }
        last_time_ = s.timeOfDay;
        last_time_line_ = at.place.line;
    }

    // The flags the build stores as 0 whatever was written.
    void flags_checks(const LocationEntry& s, const StationValues& written, std::int32_t platform) {
        const std::string name = files::utf8_from_1252(s.name);
        if (written.longFlag != 0 && s.longFlag == 0) {
            warn(Diag::station_flag_dropped, written.longFlagAt, s.position,
                 {{"name", name},
                  {"flag", "long-platform flag"},
                  {"reason", station_ == 1 ? "for the first station"
                                           : "for a platform of " + std::to_string(platform) +
                                                 " m, below 600"}});
        }
        if (written.extendFlag != 0 && s.extendFlag == 0) {
            warn(Diag::station_flag_dropped, written.extendFlagAt, s.position,
                 {{"name", name},
                  {"flag", "extension flag"},
                  {"reason", station_ == 1 ? "for the first station"
                                           : "for a station of kind " + std::to_string(s.kind)}});
        }
    }

    // The stop zone by the station's kind; the first station and short platforms keep no flags.
    void station_zone(LocationEntry& s, std::int32_t p, std::int32_t platform, TextPlace at) {
        const std::int64_t t = s.kind;
        std::int64_t zone_start = 0;
        std::int64_t zone_end = 0;
        if (station_kind::is_short_halt(t)) {
            zone_start = std::int64_t{p} - platform;
            zone_end = std::int64_t{p} + 150;
            s.extendFlag = 0;
        } else if (station_kind::is_double_zone(t)) {
            zone_start = std::int64_t{p} - platform;
            zone_end = std::int64_t{p} + platform;
            s.extendFlag = 0;
        } else {
            // The platform is a multiple of 100, so its half is whole.
            zone_start = std::int64_t{p} - platform / 2;
            zone_end = std::int64_t{p} + platform / 2 + (s.extendFlag != 0 ? 50 : 0);
        }
        s.zoneStart = fitting_int32(zone_start, at, "the zone start");
        s.zoneEnd = fitting_int32(zone_end, at, "the zone end");
        if (platform < kLongPlatform) {
            s.longFlag = 0;
        }
        if (station_ == 1) {
            s.extendFlag = 0;
            s.longFlag = 0;
        }
    }

    // A stopping station's stop cell, the cell before its zone end, and the four approach
    // marks before it (81 nearest to 84), except for the short halts.
    Flow stop_cell(const LocationEntry& s, const FieldSpan& at) {
        const double stop_index = s.zoneEnd / 50.0 - 1.0;
        // A zone that runs past the cells is refused like a record too near the end.
        if (stop_index > static_cast<double>(state_.last_cell())) {
            record_fault<Fault::record_near_route_end>(state_, s.position, site(at.place),
                                                       occurrence_at(at));
            return Flow::end_of_records;
        }
        if (!station_kind::is_short_halt(s.kind)) {
            std::vector<std::int32_t> replaced;
            for (int j = 1; j <= 4; ++j) {
                const double e = s.zoneEnd / 50.0 - j - 1.0;
                if (e > 1) {
                    const auto c = static_cast<std::size_t>(round_half_even(e));
                    if (state_.cells[c].approachMark != 0) {
                        replaced.push_back(static_cast<std::int32_t>(c));
                    }
                    state_.cells[c].approachMark = static_cast<std::uint8_t>(80 + j);
                    tell_cells(state_, CellUse::approach_mark, static_cast<std::int64_t>(c),
                               static_cast<std::int64_t>(c));
                }
            }
            if (!replaced.empty() && observing()) {
                state_.currentRecordAt = at;
                tell_marks_replaced(state_, "station", s.position, replaced);
            }
        }
        if (stop_index <= 1) {
            return stop<Fault::no_stop_cell>(at.place);
        }
        const std::int64_t c = round_half_even(stop_index);
        auto& cell = state_.cells[static_cast<std::size_t>(c)];
        if (observing() && !is_free(cell)) {
            warn(Diag::stop_cell_overwrites, at, s.position,
                 {{"name", files::utf8_from_1252(s.name)},
                  {"cell", std::to_string(c)},
                  {"metres", std::to_string(c * 50)},
                  {"what", std::string(object_name(cell.kind))}},
                 {static_cast<std::int32_t>(c)});
        }
        cell.kind = cell_kind::station_stop;
        cell.ref = low_bits<std::int16_t>(station_);
        tell_cells(state_, CellUse::stop, c, c);
        return Flow::go_on;
    }

    // The zone begins too soon after the zone of the station placed before it. Check mode goes
    // on; when that station lies past this one and this one follows the station before it,
    // that station is the one out of place (a kilometre typed wrong): it is named, and the
    // stations after are compared with this one instead of all failing against it.
    Flow zones_too_close(const LocationEntry& s, const FieldSpan& at) {
        auto occurrence = occurrence_at(at);
        const Placed previous = placed_.back();
        occurrence.arguments = {{"previous_line", std::to_string(previous.line)},
                                {"previous_position", std::to_string(previous.position)},
                                {"previous_record", std::to_string(previous.record)}};
        const bool previous_out_of_place =
            recovering() && previous.position > s.position &&
            (placed_.size() == 1 ||
             std::int64_t{s.zoneStart} - kZoneGap >= placed_[placed_.size() - 2].zoneEnd);
        if (previous_out_of_place) {
            occurrence.arguments.push_back({"out_of_place", std::to_string(previous.line)});
        }
        record_fault<Fault::station_zones_too_close>(state_, s.position, site(at.place),
                                                     occurrence);
        if (previous_out_of_place) {
            placed_.back() = {s.zoneEnd, s.position, at.place.line, current_};
        }
        return Flow::stop;
    }

    // The end of the records: the last speed and adhesion hold up to the run-out; then the
    // kilometric ranges must start and read on the 50 m grid.
    void finish() {
        const std::int64_t last = last_cell_or_fail();
        speed_fill_.finish(state_.cells);
        adhesion_fill_.up_to(last - 2, state_.last_cell(), write_adhesion());
        if (observing()) {
            speed_fill_.tell(observer_);
            adhesion_fill_.tell_finish(observer_);
            profile_missing(speed_fill_.records_seen(), "speed limit", "a speed limit of 0 km/h");
            profile_missing(adhesion_fill_.records_seen(), "adhesion", "an adhesion of 0");
            if (state_.stationCount == 0) {
                warn(Diag::missing_stations, {}, std::nullopt, {});
            }
        }
        check_kilometric_ranges();
    }

    void profile_missing(std::int32_t seen, std::string_view kind, std::string_view value) {
        if (seen == 0) {
            warn(Diag::missing_profile, {}, std::nullopt,
                 {{"text", "train"}, {"kind", std::string(kind)}, {"value", std::string(value)}});
        }
    }

    void check_kilometric_ranges() {
        bool off_grid = false;
        for (std::size_t i = entry::range_tre; i <= entry::range_uno; ++i) {
            const auto& range = state_.locations[i];
            off_grid = off_grid || range.zoneStart % 50 != 0 || range.zoneEnd % 50 != 0;
        }
        if (!off_grid) {
            return;
        }
        // The ordering moves ranges whole, so the first line that gave an off-grid range is
        // the one to mend.
        TextPlace first;
        for (const auto& read : line_text_.ranges) {
            if (read.off_grid.line > 0 && (first.line == 0 || read.off_grid.line < first.line)) {
                first = read.off_grid;
            }
        }
        Occurrence occurrence;
        occurrence.text = ErrorSource::line_text;
        occurrence.at.place = first;
        record_fault<Fault::kilometric_range_off_grid>(
            state_, ErrorSite::in_text(ErrorSource::line_text, first.line, first.column),
            occurrence);
    }

    const LineTextOutcome& line_text_;
    SpeedFill speed_fill_;
    ProfileFill adhesion_fill_{CellUse::adhesion};
    std::int32_t station_ = 1;
    // The stations placed, in order: the next zone is compared with the last one's.
    struct Placed {
        std::int32_t zoneEnd;
        std::int32_t position;
        std::int32_t line;
        RecordId record;
    };
    std::vector<Placed> placed_;
    std::int64_t last_time_ = 0;
    std::int32_t last_time_line_ = 0;
};

}  // namespace

void read_train_text(BuildState& state, std::string_view text, const LineTextOutcome& line_text) {
    FieldReader in(text);
    with_failures_placed(in, [&] { TrainTextReader(state, in, line_text).run(); });
}

}  // namespace scenario::compiler
