#include "compiler/readers/line_reader.h"

#include <algorithm>
#include <string>

#include "compiler/model/limits.h"
#include "compiler/placement/cell_index.h"
#include "compiler/placement/placement.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/record_descriptions.h"
#include "compiler/readers/record_reading.h"
#include "files/windows_1252.h"

namespace scenario::compiler {

namespace {

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

// Curvature classes: the digit in the keyword, its curvature per metre, tested "1" first.
struct CurveClass {
    const char* digit;
    double curvature;
    int radius;  // metres, for people
};
constexpr CurveClass kCurveClasses[] = {{"1", 0.0001, 10000}, {"2", 0.0002, 5000},
                                        {"3", 0.0004, 2500},  {"4", 0.001, 1000},
                                        {"5", 0.002, 500},    {"6", 0.003, 333}};

const CurveClass* curve_class_of(const KeywordField& field) {
    for (const auto& c : kCurveClasses) {
        if (field.has(c.digit)) {
            return &c;
        }
    }
    return nullptr;
}

// "curvas5", "CURVAD4": the keyword as the format gives it, without a second reading.
bool plain_curve_keyword(std::string_view keyword) {
    const std::string lower = files::to_lower_1252(keyword);
    return lower.size() == 7 && lower.starts_with("curva") &&
           (lower[5] == 's' || lower[5] == 'd') && lower[6] >= '1' && lower[6] <= '6';
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
        order_kilometric_ranges();
        if (records() == Flow::stop) {
            return outcome_;
        }
        finish();
        outcome_.train_text_follows = true;
        outcome_.build_stopped = build_stopped_;
        return outcome_;
    }

  private:
    // Records before [generale] are said only once it is found: without it, 102 says all.
    bool find_general_section() {
        std::vector<std::pair<FieldSpan, std::string_view>> before;
        while (!in_.at_end()) {
            state_.fieldBuffer = in_.read_keyword();
            if (in_.at_end()) {
                return false;
            }
            const KeywordField field(state_.fieldBuffer);
            if (field.has("[generale]")) {
                for (const auto& [span, kind] : before) {
                    warn(Diag::before_general, span, std::nullopt, {{"kind", std::string(kind)}});
                }
                return true;
            }
            if (observing()) {
                observer_->keyword(source_, in_.span(), KeywordUse::before_general);
                const auto kinds = kinds_named_by(field, SourceTextKind::line_text);
                if (!kinds.empty() &&
                    (before.empty() || before.back().first.place.line != in_.span().place.line)) {
                    before.emplace_back(in_.span(), kinds.front()->kind);
                }
            }
        }
        return false;
    }

    Flow general_section() {
        while (!in_.at_end()) {
            state_.fieldBuffer = in_.read_keyword();
            if (in_.at_end()) {
                break;
            }
            // Separator fields of dashes; no end test between them.
            for (int skipped = 0; skipped < 10 && KeywordField(state_.fieldBuffer).has("-");
                 ++skipped) {
                if (observing()) {
                    separator_skipped(in_.span());
                }
                state_.fieldBuffer = in_.read_keyword();
            }
            in_.begin_record(state_.fieldBuffer);
            matched_ = 0;
            const KeywordField field(state_.fieldBuffer);
            const FieldSpan keyword = in_.span();
            unreadable_ = false;
            const Flow flow = guarded([&] { return general_record(field, keyword); });
            if (flow == Flow::stop) {
                build_stopped_ = true;
                if (!recovering()) {
                    return Flow::stop;
                }
                unreadable_ ? in_.resume_after_record() : in_.skip_to_next_line();
                continue;
            }
            // A section header ends the general section.
            if (!field.text().starts_with('-') && field.has("[") && field.has("]")) {
                if (observing() && matched_ == 0) {
                    observer_->keyword(source_, keyword, KeywordUse::header);
                }
                break;
            }
            if (matched_ == 0) {
                nothing_recognised(keyword, true);
            }
        }
        return Flow::go_on;
    }

    // Every general test runs on the same keyword field, each that matches reading its values.
    Flow general_record(const KeywordField& field, const FieldSpan& keyword) {
        if (field.has("lunghezza") && field.has("percorso")) {
            if (record("route length", keyword, [&] { return route_length(); }) == Flow::stop) {
                return Flow::stop;
            }
        }
        if (field.has_exact("progressiva") && field.has_exact("tre")) {
            kilometric_range(keyword, entry::range_tre);
        }
        if (field.has_exact("progressiva") && field.has_exact("due")) {
            kilometric_range(keyword, entry::range_due);
        }
        if (field.has_exact("progressiva") && field.has_exact("uno")) {
            kilometric_range(keyword, entry::range_uno);
        }
        auto& scenery = state_.locations[entry::scenery];
        if (field.has_exact("sfondo") && field.has_exact("uno")) {
            scenery_value(keyword, scenery.zoneStart);
        }
        if (field.has_exact("sfondo") && field.has_exact("due")) {
            scenery_value(keyword, scenery.position);
        }
        if (field.has_exact("sfondo") && field.has_exact("tre")) {
            scenery_value(keyword, scenery.zoneEnd);
        }
        if (field.has_exact("segnali") && field.has_exact("ripetizione")) {
            if (record("signal repetition", keyword,
                       [&] { return signal_repetition(field, keyword); }) == Flow::stop) {
                return Flow::stop;
            }
        }
        return Flow::go_on;
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
        last_metre_ = last_metre;
        if (state_.buildFlag != 0 && plans()) {
            state_.plan.allocate(last_metre);
        } else {
            state_.plan.clear();
        }
        return Flow::go_on;
    }

    void kilometric_range(const FieldSpan& keyword, std::size_t index) {
        record("kilometric range", keyword, [&] {
            auto& range = state_.locations[index];
            range.zoneStart = in_.read_int32(record_values::kKilometricRange[0].name);
            const TextPlace start = in_.place();
            const FieldSpan start_span = in_.span();
            range.zoneEnd = in_.read_int32(record_values::kKilometricRange[1].name);
            const TextPlace value = in_.place();
            range.position = in_.read_int32(record_values::kKilometricRange[2].name);
            KilometricLine& read = outcome_.ranges[index - entry::range_tre];
            read = {};
            read.start = start_span;
            read.given = true;
            if (range.zoneStart % 50 != 0) {
                read.off_grid = start;
            } else if (range.zoneEnd % 50 != 0) {
                read.off_grid = value;
            }
            return Flow::go_on;
        });
    }

    void scenery_value(const FieldSpan& keyword, std::int32_t& into) {
        record("scenery", keyword, [&] {
            into = in_.read_int32(record_values::kScenery[0].name);
            return Flow::go_on;
        });
    }

    Flow signal_repetition(const KeywordField& field, const FieldSpan& keyword) {
        auto& repetition = state_.locations[entry::repetition];
        repetition.zoneStart = in_.read_int32(record_values::kRepetition[0].name);
        const TextPlace start = in_.place();
        repetition.zoneEnd = in_.read_int32(record_values::kRepetition[1].name);
        const FieldSpan end = in_.span();
        if (repetition.zoneStart % 50 != 0) {
            return stop<Fault::repetition_start_off_grid>(start);
        }
        if (repetition.zoneEnd % 50 != 0) {
            return stop<Fault::repetition_end_off_grid>(end.place);
        }
        if (field.has("4")) {
            repetition.position = 4;
        } else if (field.has("9")) {
            repetition.position = 9;
        } else {
            return stop<Fault::repetition_without_code_system>(keyword.place);
        }
        if (repetition.zoneEnd == 0) {
            repetition.position = 0;
        } else if (repetition.zoneStart > repetition.zoneEnd) {
            warn(Diag::repetition_backwards, end, std::nullopt,
                 {{"start", std::to_string(repetition.zoneStart)},
                  {"end", std::to_string(repetition.zoneEnd)}});
        }
        return Flow::go_on;
    }

    // The three ranges are ordered once the general section is read; an ordering that clears
    // them all is said.
    void order_kilometric_ranges() {
        const auto given = [&](std::size_t i) {
            const auto& e = state_.locations[i];
            return e.zoneStart != 0 || e.zoneEnd != 0 || e.position != 0;
        };
        const bool any_given =
            given(entry::range_tre) || given(entry::range_due) || given(entry::range_uno);
        const auto starts = std::array{state_.locations[entry::range_tre].zoneStart,
                                       state_.locations[entry::range_due].zoneStart,
                                       state_.locations[entry::range_uno].zoneStart};
        progressive_ordina(state_);
        if (!observing() || !any_given || given(entry::range_tre) || given(entry::range_due) ||
            given(entry::range_uno)) {
            return;
        }
        const std::int64_t greatest = *std::max_element(starts.begin(), starts.end());
        const std::int64_t sum = std::int64_t{starts[0]} + starts[1] + starts[2];
        const std::string reason =
            sum == 0 ? "all start at 0 and none has a kilometric value above 0"
                     : "two of them share the greatest start, " + std::to_string(greatest) + " m";
        FieldSpan at;
        for (const auto& read : outcome_.ranges) {
            if (read.given && (at.place.line == 0 || read.start.place.line < at.place.line)) {
                at = read.start;
            }
        }
        warn(Diag::kilometric_ranges_dropped, at, std::nullopt, {{"reason", reason}});
    }

    Flow records() {
        state_.spanCount = 0;
        // Check mode after a fault of the route length: without cells nothing can be placed,
        // and that fault already says why.
        if (recovering() && !state_.has_cells() && state_.faultsRecorded > 0) {
            return Flow::stop;
        }
        if (state_.buildFlag != 0 && plans()) {
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
        return read_records([this](const KeywordField& field, const FieldSpan& keyword) {
            return record_tests(field, keyword);
        });
    }

    Flow record_tests(const KeywordField& field, const FieldSpan& keyword) {
        Flow flow = Flow::go_on;
        if (field.has("pendenza")) {
            flow = record("gradient", keyword, [&] { return gradient(); });
        }
        if (flow == Flow::go_on && field.has("curva")) {
            if (state_.buildFlag != 0) {
                flow = record("curve", keyword, [&] { return curve(field, keyword); });
            } else {
                // Without the plan a curve is not read: its values are read as keywords.
                begin_record(record_description("curve"), keyword);
                end_record(RecordEnd::skipped);
            }
        }
        if (flow == Flow::go_on && field.has("montagna")) {
            flow = record("mountain span", keyword, [&] { return mountain_span(); });
        }
        if (flow == Flow::go_on && field.has("indicatori_v")) {
            flow = record("maximum-speed board", keyword, [&] { return speed_board(); });
        }
        if (flow == Flow::go_on && field.has("indicat") && field.has("cartello")) {
            flow = record("sign board", keyword, [&] { return sign_board(); });
        }
        return flow;
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
        const Flow flow =
            profile_record(gradient_fill_, record_values::kGradient, write_gradient());
        if (flow == Flow::go_on && observing()) {
            gradient_kept(profile_value_, profile_value_at_);
        }
        return flow;
    }

    void gradient_kept(std::int64_t g, const FieldSpan& at) {
        if (g >= -100 && g <= 155) {
            return;
        }
        const auto code = low_bits<std::uint8_t>(g + 100);
        warn(Diag::value_changed, at, gradient_fill_.last_position(),
             {{"value", "gradient"},
              {"written", std::to_string(g)},
              {"stored", "code " + std::to_string(code)},
              {"reads", ", which reads as " + std::to_string(int{code} - 100)}});
    }

    bool plans() const { return observer_ == nullptr || observer_->plans(); }

    Flow curve(const KeywordField& field, const FieldSpan& keyword) {
        const std::int32_t start = in_.read_int32(record_values::kCurve[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(start, at.place)) {
            return Flow::end_of_records;
        }
        const std::int32_t length = in_.read_int32(record_values::kCurve[1].name);
        const FieldSpan length_at = in_.span();
        const CurveClass* curve_class = curve_class_of(field);
        if (curve_class == nullptr) {
            return stop<Fault::curve_without_class>(keyword.place);
        }
        double k = curve_class->curvature;
        const bool left = field.has("s");
        if (left) {
            k = -k;  // a left-hand curve
        }
        // The last two metres of the plan stay empty: a curve may not reach them.
        const std::int64_t end = std::int64_t{start} + length;
        if (end > std::int64_t{last_metre_} - 2) {
            record_fault<Fault::record_near_route_end>(state_, start, site(at.place),
                                                       occurrence_at(at));
            return Flow::end_of_records;
        }
        if (observing()) {
            curve_checks(start, length, end, at, length_at, keyword, *curve_class, left);
        }
        // Both runs stop after metre 1000000, the last one the plan may bend at.
        if (metre_ <= start) {
            const std::int64_t last = std::min<std::int64_t>(start, kLastCurveMetre);
            if (plans()) {
                plan_points<false>(state_.plan, metre_, last, 0);
            }
            metre_ = last + 1;
            if (metre_ > kLastCurveMetre) {
                return stop<Fault::curve_without_class>(at.place);
            }
        }
        if (metre_ <= end) {
            const std::int64_t last = std::min<std::int64_t>(end, kLastCurveMetre);
            if (plans()) {
                plan_points<true>(state_.plan, metre_, last, k);
            }
            metre_ = last + 1;
            if (metre_ > kLastCurveMetre) {
                return stop<Fault::curve_without_class>(at.place);
            }
        }
        return Flow::go_on;
    }

    void curve_checks(std::int32_t start, std::int32_t length, std::int64_t end,
                      const FieldSpan& at, const FieldSpan& length_at, const FieldSpan& keyword,
                      const CurveClass& curve_class, bool left) {
        const bool overlaps =
            curves_seen_ > 0 && start >= last_curve_start_ && start < last_curve_end_;
        position_checks("curve", start, at, false);
        if (overlaps) {
            warn(Diag::overlapping_curves, at, start,
                 {{"position", std::to_string(start)},
                  {"line", std::to_string(last_curve_line_)},
                  {"end", std::to_string(last_curve_end_)}});
        }
        if (length <= 0) {
            warn(Diag::curve_empty, length_at, start, {{"length", std::to_string(length)}});
        }
        if (!plain_curve_keyword(state_.fieldBuffer)) {
            warn(Diag::curve_keyword, keyword, start,
                 {{"keyword", files::utf8_from_1252(state_.fieldBuffer)},
                  {"hand", left ? "left" : "right"},
                  {"class", curve_class.digit},
                  {"radius", std::to_string(curve_class.radius)}});
        }
        ++curves_seen_;
        if (end > last_curve_end_ || start >= last_curve_end_) {
            last_curve_start_ = start;
            last_curve_end_ = end;
            last_curve_line_ = at.place.line;
        }
    }

    Flow mountain_span() {
        const std::int32_t inizio = in_.read_int32(record_values::kMountainSpan[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(inizio, at.place)) {
            return Flow::end_of_records;
        }
        const std::int32_t fine = in_.read_int32(record_values::kMountainSpan[1].name);
        std::int32_t tipo = in_.read_int32(record_values::kMountainSpan[2].name);
        if (observing()) {
            position_checks("mountain span", inizio, at);
            state_.currentRecordAt = at;
        }
        const std::int32_t before = state_.faultsRecorded;
        memo_montagna(state_, inizio, fine, tipo);
        return stop_if_fault_stands(before, inizio, at);
    }

    Flow speed_board() {
        const std::int32_t posizione = in_.read_int32(record_values::kSpeedBoard[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(posizione, at.place)) {
            return Flow::end_of_records;
        }
        std::array<std::int32_t, 8> v{};
        std::array<FieldSpan, 8> spans{};
        for (std::size_t i = 0; i < v.size(); ++i) {
            v[i] = in_.read_int32(record_values::kSpeedBoard[i + 1].name);
            spans[i] = in_.span();
        }
        if (observing()) {
            position_checks("maximum-speed board", posizione, at);
            board_checks(v, spans, posizione);
            state_.currentRecordAt = at;
        }
        const std::int32_t before = state_.faultsRecorded;
        try {
            memo_indicatori_v_max(state_, posizione, v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                                  v[7]);
        } catch (const ReadFailure& failure) {
            // Speeds the board cannot show: the failure belongs to the whole record.
            throw FieldFailure(at.place, failure.what());
        }
        return stop_if_fault_stands(before, posizione, at);
    }

    // The right-hand speeds are packed with the left-hand ones (s * 20 + d / 5), the stripe
    // counts as s * 10 + d: a value that does not fit its share changes the other.
    void board_checks(const std::array<std::int32_t, 8>& v, const std::array<FieldSpan, 8>& spans,
                      std::int32_t posizione) {
        for (std::size_t i = 4; i <= 6; ++i) {
            if (v[i] != 0 && (v[i] % 5 != 0 || v[i] < 0 || v[i] >= 100)) {
                const double packed = v[i] / 5.0 + v[i - 4] * 20.0;
                warn(Diag::value_changed, spans[i], posizione,
                     {{"value", std::string(record_values::kSpeedBoard[i + 1].name)},
                      {"written", std::to_string(v[i])},
                      {"stored",
                       "part of the packed speed " + std::to_string(round_half_even(packed))},
                      {"reads",
                       ", which changes the speed on the left: right-hand speeds are "
                       "multiples of 5 below 100"}});
            }
        }
        if (v[7] < 0 || v[7] > 9) {
            warn(Diag::value_changed, spans[7], posizione,
                 {{"value", "stripe count on the right"},
                  {"written", std::to_string(v[7])},
                  {"stored", "part of " + std::to_string(std::int64_t{v[3]} * 10 + v[7])},
                  {"reads", ", which changes the count on the left: 0 to 9 fit"}});
        }
    }

    // A sign board takes the next free entry of the table, counting down from 80; its cell
    // refers to the entry.
    Flow sign_board() {
        const std::int32_t p = in_.read_int32(record_values::kSignBoard[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(p, at.place)) {
            return Flow::end_of_records;
        }
        state_.fieldBuffer = in_.read_text(record_values::kSignBoard[1].name);
        const FieldSpan text_at = in_.span();
        if (observing()) {
            position_checks("sign board", p, at);
            control_characters("board text", state_.fieldBuffer, text_at);
        }
        // A cell before the start of the route is as unavailable as a taken one.
        const std::int64_t c = board_cell(p);
        TrackCell* cell = cell_at(state_, c);
        if (cell == nullptr || !is_free(*cell)) {
            auto occurrence = occurrence_at(at);
            occurrence.involved = {static_cast<std::int32_t>(c)};
            occurrence.cell = cell == nullptr ? -1 : static_cast<std::int32_t>(c);
            record_fault<Fault::sign_board_cell_taken>(state_, p, site(at.place), occurrence);
            return Flow::stop;
        }
        // Entry 0 is never written: with boards in 80 down to 1 the table is full.
        if (outcome_.signSlot <= 0) {
            return stop<Fault::sign_board_table_full>(p, at);
        }
        cell->kind = cell_kind::sign_board;
        cell->ref = low_bits<std::int16_t>(outcome_.signSlot);
        state_.locations[static_cast<std::size_t>(outcome_.signSlot)].name = state_.fieldBuffer;
        --outcome_.signSlot;
        tell_cells(state_, CellUse::object, c, c);
        return Flow::go_on;
    }

    // The end of the records: the last gradient holds up to the run-out and the plan runs
    // straight on to the last metre but two.
    void finish() {
        const std::int64_t last = last_cell_or_fail();
        gradient_fill_.up_to(last - 2, state_.last_cell(), write_gradient());
        if (observing()) {
            gradient_fill_.tell_finish(observer_);
            if (gradient_fill_.records_seen() == 0) {
                warn(Diag::missing_profile, {}, std::nullopt,
                     {{"text", "line"},
                      {"kind", "gradient"},
                      {"value", "a level track (0 per mille)"}});
            }
        }
        if (state_.buildFlag != 0 && plans()) {
            const std::int64_t last_point = std::int64_t{state_.plan.last_metre()} - 2;
            if (metre_ <= last_point) {
                plan_points<false>(state_.plan, metre_, last_point, 0);
                metre_ = last_point + 1;
            }
        }
    }

    LineTextOutcome outcome_;
    ProfileFill gradient_fill_{CellUse::gradient};
    std::int64_t metre_ = 2;
    std::int32_t last_metre_ = 0;  // the route length and its run-out
    std::int32_t curves_seen_ = 0;
    std::int64_t last_curve_start_ = 0;
    std::int64_t last_curve_end_ = 0;
    std::int32_t last_curve_line_ = 0;
};

}  // namespace

LineTextOutcome read_line_text(BuildState& state, std::string_view text) {
    FieldReader in(text);
    return with_failures_placed(in, [&] { return LineTextReader(state, in).run(); });
}

}  // namespace scenario::compiler
