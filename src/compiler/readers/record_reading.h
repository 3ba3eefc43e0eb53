#pragma once

#include <cstdint>

#include "compiler/model/build_state.h"
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

// A line property filled cell by cell along the route (gradient, adhesion): each record writes
// the value in force before it from the fill index up to its own cell, at least one cell, and
// never past the last cell.
class ProfileFill {
  public:
    template <class Write>
    void up_to(std::int64_t n, std::int64_t last_cell, Write&& write) {
        do {
            if (next_ > last_cell) {
                return;
            }
            write(static_cast<std::size_t>(next_));
            ++next_;
        } while (next_ < n);
    }

  private:
    std::int64_t next_ = 0;
};

}  // namespace scenario::compiler
