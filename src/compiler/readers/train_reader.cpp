#include "compiler/readers/train_reader.h"

#include <limits>
#include <string>

#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/record_descriptions.h"
#include "compiler/readers/record_reading.h"

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

// Zone bounds and times are 32-bit fields; a value that cannot be held is a reading failure.
std::int32_t fitting_int32(std::int64_t value, TextPlace where, const char* what) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        throw FieldFailure(where, std::string(what) + " does not fit a 32-bit field");
    }
    return static_cast<std::int32_t>(value);
}

class TrainTextReader : RecordReading {
  public:
    TrainTextReader(BuildState& state, FieldReader& in, const LineTextOutcome& line_text)
        : RecordReading(state, in, ErrorSource::train_text), line_text_(line_text) {}

    void run() {
        // Everything before the general section is ignored; a text without one is no fault.
        while (!in_.at_end()) {
            if (KeywordField(in_.read_text("keyword")).has("[generale]")) {
                break;
            }
        }
        if (records() == Flow::stop) {
            return;
        }
        finish();
    }

  private:
    Flow records() {
        while (next_keyword()) {
            const KeywordField field(state_.fieldBuffer);
            const TextPlace keyword = in_.place();
            Flow flow = Flow::go_on;
            auto& train = state_.locations[entry::train];
            auto& repetition = state_.locations[entry::repetition];
            if (field.has("frenata") && field.has("massa")) {
                train.zoneStart = in_.read_int32(record_values::kBrakedMass[0].name);
            }
            if (field.has("vetture")) {
                train.position = in_.read_int32(record_values::kCoaches[0].name);
            }
            if (field.has("velocit")) {
                flow = speed_limit();
            }
            if (flow == Flow::go_on && field.has("aderenza")) {
                flow = adhesion();
            }
            if (flow == Flow::go_on && field.has("orologio")) {
                repetition.param10 = in_.read_int16(record_values::kClock[0].name);
                repetition.param11 = in_.read_int16(record_values::kClock[1].name);
                repetition.param12 = in_.read_int16(record_values::kClock[2].name);
            }
            if (flow == Flow::go_on && field.has("sabbia")) {
                repetition.param7 = in_.read_int16(record_values::kSand[0].name);
            }
            if (flow == Flow::go_on && field.has("segnale")) {
                flow = signal();
            }
            if (flow == Flow::go_on && field.has("rallentamento")) {
                flow = slowdown();
            }
            if (flow == Flow::go_on && field.has("abbattimento")) {
                flow = code_point();
            }
            if (flow == Flow::go_on && field.has("stazione")) {
                flow = station(keyword);
            }
            if (flow != Flow::go_on) {
                return flow;
            }
        }
        return Flow::go_on;
    }

    Flow speed_limit() {
        const std::int32_t p = in_.read_int32(record_values::kSpeedLimit[0].name);
        if (refused_near_end(p, in_.place())) {
            return Flow::end_of_records;
        }
        const std::int32_t v = in_.read_int32(record_values::kSpeedLimit[1].name);
        speed_fill_.record(p, v, in_.place(), state_.cells);
        return Flow::go_on;
    }

    auto write_adhesion() {
        return [this](std::size_t c, std::int32_t a) {
            state_.cells[c].adhesion = low_bits<std::uint8_t>(a);
        };
    }

    Flow adhesion() {
        return profile_record(adhesion_fill_, record_values::kAdhesion, write_adhesion());
    }

    Flow signal() {
        const std::int32_t posizione = in_.read_int32(record_values::kSignal[0].name);
        const TextPlace at = in_.place();
        if (refused_near_end(posizione, at)) {
            return Flow::end_of_records;
        }
        const std::int32_t sx = in_.read_int32(record_values::kSignal[1].name);
        const std::int32_t s1 = in_.read_int32(record_values::kSignal[2].name);
        const std::int32_t s2 = in_.read_int32(record_values::kSignal[3].name);
        const std::int32_t s3 = in_.read_int32(record_values::kSignal[4].name);
        const std::int32_t rapp = in_.read_int32(record_values::kSignal[5].name);
        const std::int32_t dx = in_.read_int32(record_values::kSignal[6].name);
        const std::int32_t d1 = in_.read_int32(record_values::kSignal[7].name);
        const std::int32_t d2 = in_.read_int32(record_values::kSignal[8].name);
        const std::int32_t d3 = in_.read_int32(record_values::kSignal[9].name);
        std::int32_t tempo = in_.read_int32(record_values::kSignal[10].name);
        const std::int32_t before = state_.errorNumber;
        memo_segnale(state_, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo);
        return stop_if_fault_stands(before, posizione, at);
    }

    Flow slowdown() {
        const std::int32_t x = in_.read_int32(record_values::kSlowdown[0].name);
        const TextPlace at = in_.place();
        if (refused_near_end(x, at)) {
            return Flow::end_of_records;
        }
        const std::int32_t v = in_.read_int32(record_values::kSlowdown[1].name);
        const std::int32_t l = in_.read_int32(record_values::kSlowdown[2].name);
        const std::int32_t f_tt = in_.read_int32(record_values::kSlowdown[3].name);
        const std::int32_t f_ta = in_.read_int32(record_values::kSlowdown[4].name);
        const std::int32_t d_v = in_.read_int32(record_values::kSlowdown[5].name);
        const std::int32_t before = state_.errorNumber;
        memo_rallentamento(state_, x, v, l, f_tt, f_ta, d_v);
        return stop_if_fault_stands(before, x, at);
    }

    Flow code_point() {
        const std::int32_t p = in_.read_int32(record_values::kCodePoint[0].name);
        const TextPlace at = in_.place();
        if (refused_near_end(p, at)) {
            return Flow::end_of_records;
        }
        const std::int32_t a = in_.read_int32(record_values::kCodePoint[1].name);
        TrackCell* cell = cell_at(state_, round_half_even(p / 50.0));
        if (cell == nullptr || !is_free(*cell)) {
            return stop<Fault::code_point_cell_taken>(p, at);
        }
        if (a > 0) {
            cell->kind = cell_kind::code_point;
            cell->ref = low_bits<std::int16_t>(a);
        } else {
            cell->kind = cell_kind::code_point_cancel;
        }
        return Flow::go_on;
    }

    // A station record: read into the next station entry, then its zone, its approach marks
    // and stop cell, and the gap to the station before.
    Flow station(TextPlace keyword) {
        // Station entries grow upwards to just below the sign boards; with the table full of
        // boards even the first station has no entry.
        if (station_ > line_text_.signSlot) {
            return stop<Fault::station_table_full>(keyword);
        }
        auto& s = state_.locations[static_cast<std::size_t>(station_)];
        const std::int32_t p = in_.read_int32(record_values::kStation[0].name);
        const TextPlace at = in_.place();
        s.position = p;
        if (refused_near_end(p, at, kStationMargin)) {
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
        read_station_values(s);

        station_zone(s, p, platform, at);
        if (s.kind < station_kind::kFirstWithoutStop) {
            const Flow flow = stop_cell(s, at);
            if (flow != Flow::go_on) {
                return flow;
            }
        }
        if (station_ > 1 && std::int64_t{s.zoneStart} - kZoneGap <
                                state_.locations[static_cast<std::size_t>(station_ - 1)].zoneEnd) {
            return stop<Fault::station_zones_too_close>(p, at);
        }
        ++station_;
        state_.stationCount = station_ - 1;
        if (station_ >= line_text_.signSlot) {
            return stop<Fault::station_table_full>(keyword);
        }
        return Flow::go_on;
    }

    // Values 4 to 17 of a station record, after its position, kind and platform length.
    void read_station_values(LocationEntry& s) {
        s.param4 = in_.read_uint8(record_values::kStation[3].name);
        s.longFlag = in_.read_uint8(record_values::kStation[4].name);
        s.extendFlag = in_.read_uint8(record_values::kStation[5].name);
        s.param7 = in_.read_int16(record_values::kStation[6].name);
        s.param8 = in_.read_int16(record_values::kStation[7].name);
        s.param9 = in_.read_uint8(record_values::kStation[8].name);
        s.param10 = in_.read_int16(record_values::kStation[9].name);
        s.param11 = in_.read_int16(record_values::kStation[10].name);
        s.param12 = in_.read_int16(record_values::kStation[11].name);
        s.dwell = in_.read_uint8(record_values::kStation[12].name);
        const std::int64_t hours = in_.read_int32(record_values::kStation[13].name);
        const TextPlace time = in_.place();
        const std::int64_t minutes = in_.read_int32(record_values::kStation[14].name);
        const std::int64_t seconds = in_.read_int32(record_values::kStation[15].name);
        s.name = in_.read_text(record_values::kStation[16].name);
        s.timeOfDay = fitting_int32((hours * 60 + minutes) * 60 + seconds, time, "the time");
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
    Flow stop_cell(const LocationEntry& s, TextPlace at) {
        const double stop_index = s.zoneEnd / 50.0 - 1.0;
        // A zone that runs past the cells is refused like a record too near the end.
        if (stop_index > static_cast<double>(state_.last_cell())) {
            record_fault<Fault::record_near_route_end>(state_, s.position, site(at));
            return Flow::end_of_records;
        }
        if (!station_kind::is_short_halt(s.kind)) {
            for (int j = 1; j <= 4; ++j) {
                const double e = s.zoneEnd / 50.0 - j - 1.0;
                if (e > 1) {
                    state_.cells[static_cast<std::size_t>(round_half_even(e))].approachMark =
                        static_cast<std::uint8_t>(80 + j);
                }
            }
        }
        if (stop_index <= 1) {
            return stop<Fault::no_stop_cell>(at);
        }
        auto& cell = state_.cells[static_cast<std::size_t>(round_half_even(stop_index))];
        cell.kind = cell_kind::station_stop;
        cell.ref = low_bits<std::int16_t>(station_);
        return Flow::go_on;
    }

    // The end of the records: the last speed and adhesion hold up to the run-out; then the
    // kilometric ranges must start and read on the 50 m grid.
    void finish() {
        const std::int64_t last = last_cell_or_fail();
        speed_fill_.finish(state_.cells);
        adhesion_fill_.up_to(last - 2, state_.last_cell(), write_adhesion());
        check_kilometric_ranges();
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
        record_fault<Fault::kilometric_range_off_grid>(
            state_, ErrorSite::in_text(ErrorSource::line_text, first.line, first.column));
    }

    const LineTextOutcome& line_text_;
    SpeedFill speed_fill_;
    ProfileFill adhesion_fill_;
    std::int32_t station_ = 1;
};

}  // namespace

void read_train_text(BuildState& state, std::string_view text, const LineTextOutcome& line_text) {
    FieldReader in(text);
    with_failures_placed(in, [&] { TrainTextReader(state, in, line_text).run(); });
}

}  // namespace scenario::compiler
