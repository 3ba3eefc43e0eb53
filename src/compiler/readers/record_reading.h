#pragma once

#include <cstdint>

#include "compiler/model/build_state.h"
#include "compiler/model/numbers.h"
#include "compiler/readers/field_reader.h"

namespace scenario::compiler {

// What the record loop does after a record.
enum class Flow {
    go_on,           // read the next record
    end_of_records,  // leave the loop as at the end of the text (a record past the cells)
    stop,            // a fault that ends the reading of this text at once
};

// Reads the keyword field of the next record into fieldBuffer, skipping at most two separator
// fields (fields holding "-"). False at the end of the text: the field that reaches the end is
// dropped, so the last field of a text ("[fine]") is never acted upon.
bool next_keyword(FieldReader& in, BuildState& state);

// N, the highest cell index. Throws when no route length has been read yet, since then there
// are no cells to place anything on.
std::int64_t last_cell_or_fail(const BuildState& state, const FieldReader& in);

// Whether a record at position p lies too near the end of the route: (p + margin) / 50 is
// beyond the last cell. Margin 100 for records, 800 for stations.
bool too_near_end(const BuildState& state, const FieldReader& in, std::int64_t p,
                  std::int64_t margin);

// Records a fault of a text, with the 1-based line of the record it belongs to.
void record_fault(BuildState& state, std::int32_t number, ErrorSource source, std::int32_t line);
void record_fault_at(BuildState& state, std::int32_t number, std::int32_t position,
                     ErrorSource source, std::int32_t line);

// Records fault 15 at p, and says so, when a record there lies too near the end of the route
// (see too_near_end); the reading of the records then ends as at the end of the text.
bool refused_near_end(BuildState& state, const FieldReader& in, std::int32_t p, std::int64_t margin,
                      ErrorSource source, std::int32_t line);

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

    // A record of the property: its position and its value, margin 100 from the route's end.
    template <class Write>
    Flow read_record(BuildState& state, FieldReader& in, ErrorSource source, std::int32_t line,
                     Write&& write) {
        const std::int32_t p = in.read_int32();
        if (refused_near_end(state, in, p, 100, source, line)) {
            return Flow::end_of_records;
        }
        const std::int32_t value = in.read_int32();
        const std::int64_t n = round_half_even(p / 50.0);
        if (n > 0) {
            up_to(n, state.last_cell(), write);
        }
        in_force_ = value;
        return Flow::go_on;
    }

  private:
    std::int64_t next_ = 0;
    std::int32_t in_force_ = 0;
};

}  // namespace scenario::compiler
