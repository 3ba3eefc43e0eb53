#include "compiler/readers/record_reading.h"

namespace scenario::compiler {

bool next_keyword(FieldReader& in, BuildState& state) {
    if (in.at_end()) {
        return false;
    }
    state.fieldBuffer = in.read_text();
    if (in.at_end()) {
        return false;
    }
    for (int skipped = 0; skipped < 2 && KeywordField(state.fieldBuffer).has("-"); ++skipped) {
        state.fieldBuffer = in.read_text();
        if (in.at_end()) {
            return false;
        }
    }
    return true;
}

std::int64_t last_cell_or_fail(const BuildState& state, const FieldReader& in) {
    if (!state.has_cells()) {
        throw FieldFailure(in.line(), "a record needs the cells before any route length was read");
    }
    return state.last_cell();
}

bool too_near_end(const BuildState& state, const FieldReader& in, std::int64_t p,
                  std::int64_t margin) {
    return p + margin > 50 * last_cell_or_fail(state, in);
}

bool refused_near_end(BuildState& state, const FieldReader& in, std::int32_t p, std::int64_t margin,
                      ErrorSource source, std::int32_t line) {
    if (!too_near_end(state, in, p, margin)) {
        return false;
    }
    record_fault_at(state, 15, p, source, line);
    return true;
}

void record_fault(BuildState& state, std::int32_t number, ErrorSource source, std::int32_t line) {
    state.errorNumber = number;
    state.errorSite = {source, line, -1};
}

void record_fault_at(BuildState& state, std::int32_t number, std::int32_t position,
                     ErrorSource source, std::int32_t line) {
    record_fault(state, number, source, line);
    state.errorPosition = position;
}

}  // namespace scenario::compiler
