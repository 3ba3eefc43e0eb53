#include "compiler/readers/record_reading.h"

#include <string>

namespace scenario::compiler {

bool RecordReading::next_keyword() {
    if (in_.at_end()) {
        return false;
    }
    state_.fieldBuffer = in_.read_text("keyword");
    if (in_.at_end()) {
        return false;
    }
    for (int skipped = 0; skipped < 2 && KeywordField(state_.fieldBuffer).has("-"); ++skipped) {
        state_.fieldBuffer = in_.read_text("keyword");
        if (in_.at_end()) {
            return false;
        }
    }
    in_.begin_record(state_.fieldBuffer);
    return true;
}

std::int64_t RecordReading::last_cell_or_fail() const {
    if (!state_.has_cells()) {
        throw FieldFailure(in_.place(),
                           "a record needs the cells before any route length was read");
    }
    return state_.last_cell();
}

bool RecordReading::refused_near_end(std::int32_t p, TextPlace where, std::int64_t margin) {
    if (p + margin <= 50 * last_cell_or_fail()) {
        return false;
    }
    record_fault<Fault::record_near_route_end>(state_, p, site(where));
    return true;
}

Flow RecordReading::stop_if_fault_stands(std::int32_t before, std::int32_t position,
                                         TextPlace where) {
    if (state_.errorNumber <= 0) {
        return Flow::go_on;
    }
    // Every fault a helper records carries a position; one left standing is a code 15.
    state_.errorPosition = position;
    const bool standing = state_.errorNumber == before;
    if (!standing) {
        state_.errorSite = site(where);
    }
    state_.faultLog.push_back({state_.errorNumber, position, site(where), standing});
    return Flow::stop;
}

void SpeedFill::write(std::vector<TrackCell>& cells) {
    const std::int64_t step = round_half_even(in_force_ / 5.0);
    if (step < 0 || step > 255) {
        throw FieldFailure(in_force_at_, "the speed " + std::to_string(in_force_) +
                                             " km/h does not fit a cell's speed step");
    }
    cells[static_cast<std::size_t>(next_)].speedStep = static_cast<std::uint8_t>(step);
    ++next_;
}

void SpeedFill::record(std::int32_t p, std::int32_t v, TextPlace where,
                       std::vector<TrackCell>& cells) {
    const std::int64_t n = round_half_even(p / 50.0);
    const auto last = static_cast<std::int64_t>(cells.size()) - 1;
    if (n > 0 && next_ < last) {
        do {
            write(cells);
        } while (next_ < n && next_ < last);
    }
    in_force_ = v;
    in_force_at_ = where;
}

void SpeedFill::finish(std::vector<TrackCell>& cells) {
    const auto last = static_cast<std::int64_t>(cells.size()) - 1;
    do {
        if (next_ > last) {
            break;
        }
        write(cells);
    } while (next_ < last - 2);
}

}  // namespace scenario::compiler
