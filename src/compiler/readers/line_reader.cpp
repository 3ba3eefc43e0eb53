#include "compiler/readers/line_reader.h"

#include <algorithm>

#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/record_descriptions.h"
#include "compiler/readers/record_reading.h"

namespace scenario::compiler {

namespace {

constexpr std::int32_t kLongestRoute = 1000000;
// Metres the route runs on past its length: the cells and the plan cover it too.
constexpr std::int32_t kRunOut = 7000;
// The plan of a curve may not run past this metre.
constexpr std::int64_t kLastCurveMetre = 1000000;

// The plan: every point continues the step between the two points before it, turned by k
// radians for a curve. The step is not renormalised, and the sums keep their order, so the
// line binary file comes out the same on every build. Points first to last are computed with
// the two points before each carried in registers rather than read back from the table just
// written: the same sums in the same order, without waiting on every store. The tags are
// stored in the same pass, beside the sums' chain of dependent additions.
// Kept out of line, so that the fuzz builds can leave this per-metre loop without coverage
// counters (a call per curve costs nothing).
template <bool Curve>
[[gnu::noinline]] void plan_points(PathPoints& plan, std::int64_t first, std::int64_t last,
                                   double k) {
    auto& x = plan.axis[0].values;
    auto& y = plan.axis[1].values;
    auto& x_tags = plan.axis[0].tags;
    auto& y_tags = plan.axis[1].tags;
    const auto from = static_cast<std::size_t>(first);
    const auto to = static_cast<std::size_t>(last);
    double x2 = x[from - 2], y2 = y[from - 2];
    double x1 = x[from - 1], y1 = y[from - 1];
    for (std::size_t m = from; m <= to; ++m) {
        const double dx = x1 - x2;
        const double dy = y1 - y2;
        double xm = 0;
        double ym = 0;
        if constexpr (Curve) {
            xm = x1 + dx + k * dy;
            ym = y1 + dy - k * dx;
        } else {
            xm = x1 + dx;
            ym = y1 + dy;
        }
        x[m] = xm;
        y[m] = ym;
        x_tags[m] = PlanTag::real;
        y_tags[m] = PlanTag::real;
        x2 = x1;
        y2 = y1;
        x1 = xm;
        y1 = ym;
    }
}

// Curvature per metre of a curve keyword: the first class digit found, "1" tested first.
bool curvature_of(const KeywordField& field, double& k) {
    struct Class {
        const char* digit;
        double curvature;
    };
    static constexpr Class kClasses[] = {{"1", 0.0001}, {"2", 0.0002}, {"3", 0.0004},
                                         {"4", 0.001},  {"5", 0.002},  {"6", 0.003}};
    for (const auto& c : kClasses) {
        if (field.has(c.digit)) {
            k = c.curvature;
            return true;
        }
    }
    return false;
}

class LineTextReader : RecordReading {
  public:
    LineTextReader(BuildState& state, FieldReader& in)
        : RecordReading(state, in, ErrorSource::line_text) {}

    LineTextOutcome run() {
        if (!find_general_section()) {
            stop<Fault::no_general_section>({});
            return outcome_;
        }
        if (general_section() == Flow::stop) {
            return outcome_;
        }
        progressive_ordina(state_);
        if (records() == Flow::stop) {
            return outcome_;
        }
        finish();
        outcome_.train_text_follows = true;
        return outcome_;
    }

  private:
    bool find_general_section() {
        while (!in_.at_end()) {
            state_.fieldBuffer = in_.read_text("keyword");
            if (in_.at_end()) {
                return false;
            }
            if (KeywordField(state_.fieldBuffer).has("[generale]")) {
                return true;
            }
        }
        return false;
    }

    Flow general_section() {
        while (!in_.at_end()) {
            state_.fieldBuffer = in_.read_text("keyword");
            if (in_.at_end()) {
                break;
            }
            // Separator fields of dashes; no end test between them.
            for (int skipped = 0; skipped < 10 && KeywordField(state_.fieldBuffer).has("-");
                 ++skipped) {
                state_.fieldBuffer = in_.read_text("keyword");
            }
            in_.begin_record(state_.fieldBuffer);
            const KeywordField field(state_.fieldBuffer);
            const TextPlace keyword = in_.place();
            if (field.has("lunghezza") && field.has("percorso")) {
                if (route_length() == Flow::stop) {
                    return Flow::stop;
                }
            }
            if (field.has_exact("progressiva") && field.has_exact("tre")) {
                kilometric_range(entry::range_tre);
            }
            if (field.has_exact("progressiva") && field.has_exact("due")) {
                kilometric_range(entry::range_due);
            }
            if (field.has_exact("progressiva") && field.has_exact("uno")) {
                kilometric_range(entry::range_uno);
            }
            auto& scenery = state_.locations[entry::scenery];
            if (field.has_exact("sfondo") && field.has_exact("uno")) {
                scenery.zoneStart = in_.read_int32(record_values::kScenery[0].name);
            }
            if (field.has_exact("sfondo") && field.has_exact("due")) {
                scenery.position = in_.read_int32(record_values::kScenery[0].name);
            }
            if (field.has_exact("sfondo") && field.has_exact("tre")) {
                scenery.zoneEnd = in_.read_int32(record_values::kScenery[0].name);
            }
            if (field.has_exact("segnali") && field.has_exact("ripetizione")) {
                if (signal_repetition(field, keyword) == Flow::stop) {
                    return Flow::stop;
                }
            }
            // A section header ends the general section.
            if (!field.text().starts_with('-') && field.has("[") && field.has("]")) {
                break;
            }
        }
        return Flow::go_on;
    }

    Flow route_length() {
        const std::int32_t length = in_.read_int32(record_values::kRouteLength[0].name);
        const TextPlace at = in_.place();
        state_.locations[entry::train].zoneEnd = length;
        if (length > kLongestRoute) {
            return stop<Fault::route_too_long>(at);
        }
        if (length < 0) {
            throw FieldFailure(at, "a route length cannot be negative");
        }
        const std::int32_t last_metre = length + kRunOut;
        const auto last_cell = round_half_even(last_metre / 50.0);
        state_.cells.assign(static_cast<std::size_t>(last_cell) + 1, TrackCell{});
        if (state_.buildFlag != 0) {
            state_.plan.allocate(last_metre);
        } else {
            state_.plan.clear();
        }
        return Flow::go_on;
    }

    void kilometric_range(std::size_t index) {
        auto& range = state_.locations[index];
        range.zoneStart = in_.read_int32(record_values::kKilometricRange[0].name);
        const TextPlace start = in_.place();
        range.zoneEnd = in_.read_int32(record_values::kKilometricRange[1].name);
        const TextPlace value = in_.place();
        range.position = in_.read_int32(record_values::kKilometricRange[2].name);
        KilometricLine& read = outcome_.ranges[index - entry::range_tre];
        read = {};
        if (range.zoneStart % 50 != 0) {
            read.off_grid = start;
        } else if (range.zoneEnd % 50 != 0) {
            read.off_grid = value;
        }
    }

    Flow signal_repetition(const KeywordField& field, TextPlace keyword) {
        auto& repetition = state_.locations[entry::repetition];
        repetition.zoneStart = in_.read_int32(record_values::kRepetition[0].name);
        const TextPlace start = in_.place();
        repetition.zoneEnd = in_.read_int32(record_values::kRepetition[1].name);
        const TextPlace end = in_.place();
        if (repetition.zoneStart % 50 != 0) {
            return stop<Fault::repetition_start_off_grid>(start);
        }
        if (repetition.zoneEnd % 50 != 0) {
            return stop<Fault::repetition_end_off_grid>(end);
        }
        if (field.has("4")) {
            repetition.position = 4;
        } else if (field.has("9")) {
            repetition.position = 9;
        } else {
            return stop<Fault::repetition_without_code_system>(keyword);
        }
        if (repetition.zoneEnd == 0) {
            repetition.position = 0;
        }
        return Flow::go_on;
    }

    Flow records() {
        state_.spanCount = 0;
        if (state_.buildFlag != 0) {
            if (!state_.plan.allocated()) {
                throw FieldFailure(in_.place(), "the plan needs a route length, and none was read");
            }
            // The route starts at the origin heading along +y.
            for (auto& axis : state_.plan.axis) {
                axis.tags[0] = axis.tags[1] = PlanTag::integer;
            }
            state_.plan.axis[0].values[0] = 0;
            state_.plan.axis[1].values[0] = 0;
            state_.plan.axis[0].values[1] = 0;
            state_.plan.axis[1].values[1] = 1;
        }
        while (next_keyword()) {
            const KeywordField field(state_.fieldBuffer);
            const TextPlace keyword = in_.place();
            Flow flow = Flow::go_on;
            if (field.has("pendenza")) {
                flow = gradient();
            }
            if (flow == Flow::go_on && state_.buildFlag != 0 && field.has("curva")) {
                flow = curve(field, keyword);
            }
            if (flow == Flow::go_on && field.has("montagna")) {
                flow = mountain_span();
            }
            if (flow == Flow::go_on && field.has("indicatori_v")) {
                flow = speed_board();
            }
            if (flow == Flow::go_on && field.has("indicat") && field.has("cartello")) {
                flow = sign_board();
            }
            if (flow != Flow::go_on) {
                return flow;
            }
        }
        return Flow::go_on;
    }

    // A cell's gradient code: the gradient plus 100, in its 8 bits.
    auto write_gradient() {
        return [this](std::size_t c, std::int32_t g) {
            state_.cells[c].gradientCode = low_bits<std::uint8_t>(std::int64_t{g} + 100);
        };
    }

    // Each cell carries the gradient in force over it: the previous record's value up to this
    // record's cell, at least one cell per record.
    Flow gradient() {
        return profile_record(gradient_fill_, record_values::kGradient, write_gradient());
    }

    Flow curve(const KeywordField& field, TextPlace keyword) {
        const std::int32_t start = in_.read_int32(record_values::kCurve[0].name);
        const TextPlace at = in_.place();
        if (refused_near_end(start, at)) {
            return Flow::end_of_records;
        }
        const std::int32_t length = in_.read_int32(record_values::kCurve[1].name);
        double k = 0;
        if (!curvature_of(field, k)) {
            return stop<Fault::curve_without_class>(keyword);
        }
        if (field.has("s")) {
            k = -k;  // a left-hand curve
        }
        // The last two metres of the plan stay empty: a curve may not reach them.
        const std::int64_t end = std::int64_t{start} + length;
        if (end > std::int64_t{state_.plan.last_metre()} - 2) {
            record_fault<Fault::record_near_route_end>(state_, start, site(at));
            return Flow::end_of_records;
        }
        // Both runs stop after metre 1000000, the last one the plan may bend at.
        if (metre_ <= start) {
            const std::int64_t last = std::min<std::int64_t>(start, kLastCurveMetre);
            plan_points<false>(state_.plan, metre_, last, 0);
            metre_ = last + 1;
            if (metre_ > kLastCurveMetre) {
                return stop<Fault::curve_without_class>(at);
            }
        }
        if (metre_ <= end) {
            const std::int64_t last = std::min<std::int64_t>(end, kLastCurveMetre);
            plan_points<true>(state_.plan, metre_, last, k);
            metre_ = last + 1;
            if (metre_ > kLastCurveMetre) {
                return stop<Fault::curve_without_class>(at);
            }
        }
        return Flow::go_on;
    }

    Flow mountain_span() {
        const std::int32_t inizio = in_.read_int32(record_values::kMountainSpan[0].name);
        const TextPlace at = in_.place();
        if (refused_near_end(inizio, at)) {
            return Flow::end_of_records;
        }
        const std::int32_t fine = in_.read_int32(record_values::kMountainSpan[1].name);
        std::int32_t tipo = in_.read_int32(record_values::kMountainSpan[2].name);
        const std::int32_t before = state_.errorNumber;
        memo_montagna(state_, inizio, fine, tipo);
        return stop_if_fault_stands(before, inizio, at);
    }

    Flow speed_board() {
        const std::int32_t posizione = in_.read_int32(record_values::kSpeedBoard[0].name);
        const TextPlace at = in_.place();
        if (refused_near_end(posizione, at)) {
            return Flow::end_of_records;
        }
        const std::int32_t vas = in_.read_int32(record_values::kSpeedBoard[1].name);
        const std::int32_t vbs = in_.read_int32(record_values::kSpeedBoard[2].name);
        const std::int32_t vcs = in_.read_int32(record_values::kSpeedBoard[3].name);
        const std::int32_t strisces = in_.read_int32(record_values::kSpeedBoard[4].name);
        const std::int32_t vad = in_.read_int32(record_values::kSpeedBoard[5].name);
        const std::int32_t vbd = in_.read_int32(record_values::kSpeedBoard[6].name);
        const std::int32_t vcd = in_.read_int32(record_values::kSpeedBoard[7].name);
        const std::int32_t strisced = in_.read_int32(record_values::kSpeedBoard[8].name);
        const std::int32_t before = state_.errorNumber;
        try {
            memo_indicatori_v_max(state_, posizione, vas, vbs, vcs, strisces, vad, vbd, vcd,
                                  strisced);
        } catch (const ReadFailure& failure) {
            // Speeds the board cannot show: the failure belongs to the whole record.
            throw FieldFailure(at, failure.what());
        }
        return stop_if_fault_stands(before, posizione, at);
    }

    // A sign board takes the next free entry of the table, counting down from 80; its cell
    // refers to the entry.
    Flow sign_board() {
        const std::int32_t p = in_.read_int32(record_values::kSignBoard[0].name);
        const TextPlace at = in_.place();
        if (refused_near_end(p, at)) {
            return Flow::end_of_records;
        }
        state_.fieldBuffer = in_.read_text(record_values::kSignBoard[1].name);
        // A cell before the start of the route is as unavailable as a taken one.
        TrackCell* cell = cell_at(state_, board_cell(p));
        if (cell == nullptr || !is_free(*cell)) {
            return stop<Fault::sign_board_cell_taken>(p, at);
        }
        // Entry 0 is never written: with boards in 80 down to 1 the table is full.
        if (outcome_.signSlot <= 0) {
            return stop<Fault::sign_board_table_full>(p, at);
        }
        cell->kind = cell_kind::sign_board;
        cell->ref = low_bits<std::int16_t>(outcome_.signSlot);
        state_.locations[static_cast<std::size_t>(outcome_.signSlot)].name = state_.fieldBuffer;
        --outcome_.signSlot;
        return Flow::go_on;
    }

    // The end of the records: the last gradient holds up to the run-out and the plan runs
    // straight on to the last metre but two.
    void finish() {
        const std::int64_t last = last_cell_or_fail();
        gradient_fill_.up_to(last - 2, state_.last_cell(), write_gradient());
        if (state_.buildFlag != 0) {
            const std::int64_t last_point = std::int64_t{state_.plan.last_metre()} - 2;
            if (metre_ <= last_point) {
                plan_points<false>(state_.plan, metre_, last_point, 0);
                metre_ = last_point + 1;
            }
        }
    }

    LineTextOutcome outcome_;
    ProfileFill gradient_fill_;
    std::int64_t metre_ = 2;
};

}  // namespace

LineTextOutcome read_line_text(BuildState& state, std::string_view text) {
    FieldReader in(text);
    return with_failures_placed(in, [&] { return LineTextReader(state, in).run(); });
}

}  // namespace scenario::compiler
