#include "compiler/readers/train_reader.h"

#include <limits>

#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/record_reading.h"
#include "files/replace_file.h"

namespace scenario::compiler {

namespace {

constexpr ErrorSource kSource = ErrorSource::train_text;

// Zone bounds and times are 32-bit fields; a value that cannot be held is a reading failure.
std::int32_t fitting_int32(std::int64_t value, std::int32_t line, const char* what) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        throw FieldFailure(line, std::string(what) + " does not fit a 32-bit field");
    }
    return static_cast<std::int32_t>(value);
}

class TrainTextReader {
  public:
    TrainTextReader(BuildState& state, FieldReader& in, const std::filesystem::path& file,
                    const LineTextOutcome& line_text)
        : state_(state), in_(in), file_(file), line_text_(line_text) {}

    void run() {
        // Everything before the general section is ignored; a text without one is no fault.
        while (!in_.at_end()) {
            if (KeywordField(in_.read_text()).has("[generale]")) {
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
        while (next_keyword(in_, state_)) {
            const KeywordField field(state_.fieldBuffer);
            const std::int32_t line = in_.line();
            Flow flow = Flow::go_on;
            auto& train = state_.locations[entry::train];
            auto& repetition = state_.locations[entry::repetition];
            if (field.has("frenata") && field.has("massa")) {
                train.zoneStart = in_.read_int32();
            }
            if (field.has("vetture")) {
                train.position = in_.read_int32();
            }
            if (field.has("velocit")) {
                flow = speed_limit(line);
            }
            if (flow == Flow::go_on && field.has("aderenza")) {
                flow = adhesion(line);
            }
            if (flow == Flow::go_on && field.has("orologio")) {
                repetition.param10 = in_.read_int16();
                repetition.param11 = in_.read_int16();
                repetition.param12 = in_.read_int16();
            }
            if (flow == Flow::go_on && field.has("sabbia")) {
                repetition.param7 = in_.read_int16();
            }
            if (flow == Flow::go_on && field.has("segnale")) {
                flow = signal(line);
            }
            if (flow == Flow::go_on && field.has("rallentamento")) {
                flow = slowdown(line);
            }
            if (flow == Flow::go_on && field.has("abbattimento")) {
                flow = code_point(line);
            }
            if (flow == Flow::go_on && field.has("stazione")) {
                flow = station(line);
            }
            if (flow != Flow::go_on) {
                return flow;
            }
        }
        return Flow::go_on;
    }

    bool refused_near_end(std::int32_t p, std::int32_t margin, std::int32_t line) {
        return compiler::refused_near_end(state_, in_, p, margin, kSource, line);
    }

    // The speed in force over a cell, in steps of 5 km/h. Converted when it is written, so a
    // speed too high for the 8-bit field fails where the cells take it, naming its own line.
    void write_speed(std::int64_t index) {
        const std::int64_t step = round_half_even(previous_speed_ / 5.0);
        if (step < 0 || step > 255) {
            throw FieldFailure(speed_line_, "the speed " + std::to_string(previous_speed_) +
                                                " km/h does not fit a cell's speed step");
        }
        state_.cells[static_cast<std::size_t>(index)].speedStep = static_cast<std::uint8_t>(step);
    }

    Flow speed_limit(std::int32_t line) {
        const std::int32_t p = in_.read_int32();
        if (refused_near_end(p, 100, line)) {
            return Flow::end_of_records;
        }
        const std::int32_t v = in_.read_int32();
        const std::int64_t n = round_half_even(p / 50.0);
        const std::int64_t last = state_.last_cell();
        if (n > 0 && speed_fill_ < last) {
            do {
                write_speed(speed_fill_);
                ++speed_fill_;
            } while (speed_fill_ < n && speed_fill_ < last);
        }
        previous_speed_ = v;
        speed_line_ = line;
        return Flow::go_on;
    }

    auto write_adhesion() {
        return [this](std::size_t c, std::int32_t a) {
            state_.cells[c].adhesion = low_bits<std::uint8_t>(a);
        };
    }

    Flow adhesion(std::int32_t line) {
        return adhesion_fill_.read_record(state_, in_, kSource, line, write_adhesion());
    }

    void fill_adhesion_to(std::int64_t n) {
        adhesion_fill_.up_to(n, state_.last_cell(), write_adhesion());
    }

    Flow signal(std::int32_t line) {
        const std::int32_t posizione = in_.read_int32();
        if (refused_near_end(posizione, 100, line)) {
            return Flow::end_of_records;
        }
        const std::int32_t sx = in_.read_int32();
        const std::int32_t s1 = in_.read_int32();
        const std::int32_t s2 = in_.read_int32();
        const std::int32_t s3 = in_.read_int32();
        const std::int32_t rapp = in_.read_int32();
        const std::int32_t dx = in_.read_int32();
        const std::int32_t d1 = in_.read_int32();
        const std::int32_t d2 = in_.read_int32();
        const std::int32_t d3 = in_.read_int32();
        std::int32_t tempo = in_.read_int32();
        const std::int32_t before = state_.errorNumber;
        memo_segnale(state_, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo);
        return stop_if_fault_stands(before, posizione, line);
    }

    Flow slowdown(std::int32_t line) {
        const std::int32_t x = in_.read_int32();
        if (refused_near_end(x, 100, line)) {
            return Flow::end_of_records;
        }
        const std::int32_t v = in_.read_int32();
        const std::int32_t l = in_.read_int32();
        const std::int32_t f_tt = in_.read_int32();
        const std::int32_t f_ta = in_.read_int32();
        const std::int32_t d_v = in_.read_int32();
        const std::int32_t before = state_.errorNumber;
        memo_rallentamento(state_, x, v, l, f_tt, f_ta, d_v);
        return stop_if_fault_stands(before, x, line);
    }

    // After a signal or a slowdown any fault stops the reading, also one left by the line
    // text (a code 15): then the position is this record's, but the fault still belongs to
    // the line text, so its site stays.
    Flow stop_if_fault_stands(std::int32_t before, std::int32_t position, std::int32_t line) {
        if (state_.errorNumber <= 0) {
            return Flow::go_on;
        }
        state_.errorPosition = position;
        if (state_.errorNumber != before) {
            state_.errorSite = {kSource, line, -1};
        }
        files::delete_file(file_);
        return Flow::stop;
    }

    Flow code_point(std::int32_t line) {
        const std::int32_t p = in_.read_int32();
        if (refused_near_end(p, 100, line)) {
            return Flow::end_of_records;
        }
        const std::int32_t a = in_.read_int32();
        TrackCell* cell = cell_at(state_, round_half_even(p / 50.0));
        if (cell == nullptr || !is_free(*cell)) {
            return stop_with(7, line, p);
        }
        if (a > 0) {
            cell->kind = cell_kind::code_point;
            cell->ref = low_bits<std::int16_t>(a);
        } else {
            cell->kind = cell_kind::code_point_cancel;
        }
        return Flow::go_on;
    }

    Flow station(std::int32_t line) {
        // Station entries grow upwards to just below the sign boards; with the table full of
        // boards even the first station has no entry.
        if (station_ > line_text_.signSlot) {
            return stop_with(10, line);
        }
        auto& s = state_.locations[static_cast<std::size_t>(station_)];
        const std::int32_t p = in_.read_int32();
        s.position = p;
        if (refused_near_end(p, 800, line)) {
            return Flow::end_of_records;
        }
        if (p % 50 != 0) {
            return stop_with(8, line, p);
        }
        s.kind = in_.read_uint8();
        const std::int32_t platform = in_.read_int32();
        if (platform % 100 != 0) {
            return stop_with(9, line, p);
        }
        s.param4 = in_.read_uint8();
        s.longFlag = in_.read_uint8();
        s.extendFlag = in_.read_uint8();
        s.param7 = in_.read_int16();
        s.param8 = in_.read_int16();
        s.param9 = in_.read_uint8();
        s.param10 = in_.read_int16();
        s.param11 = in_.read_int16();
        s.param12 = in_.read_int16();
        s.dwell = in_.read_uint8();
        const std::int64_t hours = in_.read_int32();
        const std::int64_t minutes = in_.read_int32();
        const std::int64_t seconds = in_.read_int32();
        s.name = in_.read_text();
        s.timeOfDay = fitting_int32((hours * 60 + minutes) * 60 + seconds, line, "the time");

        const std::int64_t t = s.kind;
        std::int64_t zone_start = 0;
        std::int64_t zone_end = 0;
        if (t == 5 || t == 6) {
            zone_start = std::int64_t{p} - platform;
            zone_end = std::int64_t{p} + 150;
            s.extendFlag = 0;
        } else if (t == 7 || t == 8) {
            zone_start = std::int64_t{p} - platform;
            zone_end = std::int64_t{p} + platform;
            s.extendFlag = 0;
        } else {
            // The platform is a multiple of 100, so its half is whole.
            zone_start = std::int64_t{p} - platform / 2;
            zone_end = std::int64_t{p} + platform / 2 + (s.extendFlag != 0 ? 50 : 0);
        }
        s.zoneStart = fitting_int32(zone_start, line, "the zone start");
        s.zoneEnd = fitting_int32(zone_end, line, "the zone end");
        if (platform < 600) {
            s.longFlag = 0;
        }
        if (station_ == 1) {
            s.extendFlag = 0;
            s.longFlag = 0;
        }
        if (t < 25) {
            const double stop_cell = s.zoneEnd / 50.0 - 1.0;
            // A zone that runs past the cells is refused like a record too near the end.
            if (stop_cell > static_cast<double>(state_.last_cell())) {
                record_fault_at(state_, 15, p, kSource, line);
                return Flow::end_of_records;
            }
            if (t != 5 && t != 6) {
                // The four cells before the stop carry 81 (nearest) to 84.
                for (int j = 1; j <= 4; ++j) {
                    const double e = s.zoneEnd / 50.0 - j - 1.0;
                    if (e > 1) {
                        state_.cells[static_cast<std::size_t>(round_half_even(e))].approachMark =
                            static_cast<std::uint8_t>(80 + j);
                    }
                }
            }
            if (stop_cell <= 1) {
                return stop_with(24, line);
            }
            auto& stop = state_.cells[static_cast<std::size_t>(round_half_even(stop_cell))];
            stop.kind = cell_kind::station_stop;
            stop.ref = low_bits<std::int16_t>(station_);
        }
        if (station_ > 1 && std::int64_t{s.zoneStart} - 350 <
                                state_.locations[static_cast<std::size_t>(station_ - 1)].zoneEnd) {
            return stop_with(22, line, p);
        }
        ++station_;
        state_.stationCount = station_ - 1;
        if (station_ >= line_text_.signSlot) {
            return stop_with(10, line);
        }
        return Flow::go_on;
    }

    Flow stop_with(std::int32_t number, std::int32_t line) {
        files::delete_file(file_);
        record_fault(state_, number, kSource, line);
        return Flow::stop;
    }

    Flow stop_with(std::int32_t number, std::int32_t line, std::int32_t position) {
        files::delete_file(file_);
        record_fault_at(state_, number, position, kSource, line);
        return Flow::stop;
    }

    // The end of the records: the last speed and adhesion hold up to the run-out; then the
    // kilometric ranges must start and read on the 50 m grid.
    void finish() {
        files::delete_file(file_);
        const std::int64_t last = last_cell_or_fail(state_, in_);
        do {
            if (speed_fill_ > last) {
                break;
            }
            write_speed(speed_fill_);
            ++speed_fill_;
        } while (speed_fill_ < last - 2);
        fill_adhesion_to(last - 2);
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
        std::int32_t line = 0;
        for (const auto& read : line_text_.ranges) {
            if (read.off_grid && read.line > 0 && (line == 0 || read.line < line)) {
                line = read.line;
            }
        }
        record_fault(state_, 2, ErrorSource::line_text, line);
    }

    BuildState& state_;
    FieldReader& in_;
    const std::filesystem::path& file_;
    const LineTextOutcome& line_text_;
    std::int64_t speed_fill_ = 0;
    ProfileFill adhesion_fill_;
    std::int32_t previous_speed_ = 0;
    std::int32_t speed_line_ = 0;
    std::int32_t station_ = 1;
};

}  // namespace

void read_train_text(BuildState& state, const std::filesystem::path& file,
                     const LineTextOutcome& line_text, ReadingPlace& place) {
    place = {kSource, 0};
    FieldReader in = FieldReader::open(file);
    try {
        TrainTextReader(state, in, file, line_text).run();
    } catch (const FieldFailure& failure) {
        place.line = failure.line();
        throw;
    } catch (...) {
        place.line = in.line();
        throw;
    }
}

}  // namespace scenario::compiler
