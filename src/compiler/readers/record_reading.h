#pragma once

#include <cstdint>
#include <exception>
#include <span>
#include <string_view>

#include "compiler/model/build_state.h"
#include "compiler/model/numbers.h"
#include "compiler/model/record_fault.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/record_descriptions.h"

namespace scenario::compiler {

// What the record loop does after a record.
enum class Flow {
    go_on,           // read the next record
    end_of_records,  // leave the loop as at the end of the text (a record past the cells)
    stop,            // a fault that ends the reading of this text at once
};

// Metres past a record's position that must still lie on the cells; a station needs room for
// its zone and stop cell.
inline constexpr std::int64_t kRecordMargin = 100;
inline constexpr std::int64_t kStationMargin = 800;

// The frame both text readers share: the model, the field reader and which text it reads, the
// keyword loop, the bound check and the ways a record stops the reading.
class RecordReading {
  protected:
    RecordReading(BuildState& state, FieldReader& in, ErrorSource source)
        : state_(state), in_(in), source_(source) {}

    // Reads the keyword field of the next record into fieldBuffer, skipping at most two
    // separator fields (fields holding "-"). False at the end of the text: the field that
    // reaches the end is dropped, so the last field of a text ("[fine]") is never acted upon.
    bool next_keyword();

    // The site of a fault raised by the field at `where` of this text.
    ErrorSite site(TextPlace where) const {
        return ErrorSite::in_text(source_, where.line, where.column);
    }

    // N, the highest cell index. Throws when no route length has been read yet, since then
    // there are no cells to place anything on.
    std::int64_t last_cell_or_fail() const;

    // Whether a record at p lies too near the end of the route: (p + margin) / 50 is beyond the
    // last cell. If so, records fault 15 at p; the records then end as at the end of the text.
    bool refused_near_end(std::int32_t p, TextPlace where, std::int64_t margin = kRecordMargin);

    // A record of a property filled along the route (gradient, adhesion): its position, past
    // the bound check, then its value, which is in force from its cell on.
    template <class Fill, class Write>
    Flow profile_record(Fill& fill, std::span<const ValueDescription> values, Write&& write) {
        const std::int32_t p = in_.read_int32(values[0].name);
        if (refused_near_end(p, in_.place())) {
            return Flow::end_of_records;
        }
        const std::int32_t value = in_.read_int32(values[1].name);
        fill.record(p, value, state_.last_cell(), write);
        return Flow::go_on;
    }

    // A fault that stops the reading of this text.
    template <Fault F>
    Flow stop(TextPlace where) {
        record_fault<F>(state_, site(where));
        return Flow::stop;
    }
    template <Fault F>
    Flow stop(std::int32_t position, TextPlace where) {
        record_fault<F>(state_, position, site(where));
        return Flow::stop;
    }

    // After a placement helper: a fault it recorded stops the reading, with the record's first
    // value as the position. `before` is errorNumber before the call: a fault that was already
    // standing (a code 15 of the line text stops the train text's first signal or slowdown)
    // takes this record's position but keeps its own site.
    Flow stop_if_fault_stands(std::int32_t before, std::int32_t position, TextPlace where);

    BuildState& state_;
    FieldReader& in_;
    ErrorSource source_;
};

// A line property filled cell by cell along the route (gradient, adhesion): each record writes
// the value in force before it from the fill index up to its own cell, at least one cell, and
// never past the last cell; its own value is then in force.
class ProfileFill {
  public:
    // Writes the value in force, write(cell, value), from the fill index up to cell n.
    template <class Write>
    void up_to(std::int64_t n, std::int64_t last_cell, Write&& write) {
        do {
            if (next_ > last_cell) {
                return;
            }
            write(static_cast<std::size_t>(next_), in_force_);
            ++next_;
        } while (next_ < n);
    }

    // A record of the property at p (already past the bound check) with its value.
    template <class Write>
    void record(std::int32_t p, std::int32_t value, std::int64_t last_cell, Write&& write) {
        const std::int64_t n = round_half_even(p / 50.0);
        if (n > 0) {
            up_to(n, last_cell, write);
        }
        in_force_ = value;
    }

  private:
    std::int64_t next_ = 0;
    std::int32_t in_force_ = 0;
};

// The speed limit filled cell by cell like a profile, with two differences of its own: a record
// fills only while the fill index is below the last cell, and the speed is stored as its step
// of 5 km/h, which must fit 8 bits. A speed that does not fails where the cells take it, naming
// the place of the speed that was in force.
class SpeedFill {
  public:
    void record(std::int32_t p, std::int32_t v, TextPlace where, std::vector<TrackCell>& cells);
    // The last speed holds up to the run-out: at least one cell, while below N - 2.
    void finish(std::vector<TrackCell>& cells);

  private:
    void write(std::vector<TrackCell>& cells);

    std::int64_t next_ = 0;
    std::int32_t in_force_ = 0;
    TextPlace in_force_at_;
};

// Runs a reader over a text; a failure that is not already placed in the text (an allocation,
// say) is placed at the field read last, so that every reading failure names where it arose.
template <class Read>
auto with_failures_placed(const FieldReader& in, Read&& read) {
    try {
        return read();
    } catch (const FieldFailure&) {
        throw;
    } catch (const std::exception& failure) {
        throw FieldFailure(in.place(), failure.what());
    }
}

}  // namespace scenario::compiler
