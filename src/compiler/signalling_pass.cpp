#include "compiler/signalling_pass.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <string>

#include "compiler/model/numbers.h"
#include "compiler/model/record_fault.h"

namespace scenario::compiler {

namespace {

// The code value the pass gives its own points, and the most a lowered point may keep.
constexpr std::int16_t kPassCode = 180;
// Slowdowns below this speed get a code point every kSpacing cells along them.
constexpr std::int16_t kSlowSpeed = 110;
constexpr std::int64_t kSpacing = 8;
constexpr std::int64_t kWarningReach = 20;  // cells before a warning searched for signals
constexpr std::int64_t kExitReach = 12;     // cells after a slowdown end searched for a signal
// Signals nearer the route's start than this are not treated before a warning: both their
// candidate cells must lie after cell 0.
constexpr std::int64_t kFirstTreatedSignal = 3;

// One window of three candidates before a slowdown start, nearest first.
struct StartWindow {
    std::int64_t appliesAbove;  // the start cell must lie beyond this index
    std::int64_t nearest;       // cells back to the first candidate
};
constexpr std::array<StartWindow, 3> kStartWindows{{{7, 5}, {13, 11}, {20, 18}}};

// The cells of one build and what this pass has done to them so far.
struct Pass {
    BuildState& state;
    std::int64_t last;  // N, the highest cell index
    std::int32_t placed = 0;

    TrackCell& cell(std::int64_t index) { return state.cells[static_cast<std::size_t>(index)]; }
    std::uint8_t kind(std::int64_t index) { return cell(index).kind; }
    bool free(std::int64_t index) { return is_free(cell(index)); }

    void place(std::int64_t index) {
        auto& c = cell(index);
        c.kind = cell_kind::code_point;
        c.ref = kPassCode;
        ++placed;
        tell_cells(state, CellUse::object, index, index);
    }

    // A point already standing before a treated signal keeps a lower code, never a higher one.
    void lower(std::int64_t index) {
        auto& c = cell(index);
        if (state.observer != nullptr && c.ref > kPassCode) {
            Occurrence occurrence;
            occurrence.id = Diag::code_point_lowered;
            occurrence.text = ErrorSource::signalling;
            occurrence.cell = low_bits<std::int32_t>(index);
            occurrence.position = low_bits<std::int32_t>(index * 50);
            occurrence.involved = {occurrence.cell};
            occurrence.arguments = {{"written", std::to_string(c.ref)},
                                    {"cell", std::to_string(index)}};
            state.observer->occurred(occurrence);
        }
        c.ref = minimo<std::int16_t>(kPassCode, c.ref);
    }

    // The last fault wins; the pass carries on. `involved` are the cells the rule looked at:
    // the author's tools name what stands on them.
    template <Fault F>
    void record(std::int64_t index, std::initializer_list<std::int64_t> involved = {}) {
        Occurrence context;
        context.text = ErrorSource::signalling;
        for (const auto c : involved) {
            if (c >= 0 && c <= last) {
                context.involved.push_back(low_bits<std::int32_t>(c));
            }
        }
        record_fault<F>(state, low_bits<std::int32_t>(index * 50),
                        ErrorSite::of_cell(low_bits<std::int32_t>(index)), std::move(context));
    }
};

// Every signal within the 20 cells before a warning board gets a code point on one of the two
// cells before it, or has an existing point there lowered.
void warning_rule(Pass& pass, std::int64_t warning) {
    for (std::int64_t j = 1; j <= kWarningReach; ++j) {
        const std::int64_t d = warning - j;
        if (d < kFirstTreatedSignal) {
            return;
        }
        if (pass.kind(d) != cell_kind::signal) {
            continue;
        }
        if (pass.free(d - 1)) {
            pass.place(d - 1);
        } else if (pass.free(d - 2)) {
            pass.place(d - 2);
        } else if (pass.kind(d - 1) == cell_kind::code_point) {
            pass.lower(d - 1);
        } else if (pass.kind(d - 2) == cell_kind::code_point) {
            pass.lower(d - 2);
        } else {
            pass.record<Fault::no_code_point_cell_before_signal>(d, {d, d - 1, d - 2, warning});
        }
    }
}

// Three windows before a slowdown start, each given a point on its first free cell.
void start_rule(Pass& pass, std::int64_t start) {
    for (const auto& window : kStartWindows) {
        if (start <= window.appliesAbove) {
            continue;
        }
        bool done = false;
        for (std::int64_t back = window.nearest; back <= window.nearest + 2 && !done; ++back) {
            if (pass.free(start - back)) {
                pass.place(start - back);
                done = true;
            }
        }
        if (!done) {
            const std::int64_t near = start - window.nearest;
            pass.record<Fault::no_code_point_cell_before_slowdown>(
                start, {start, near, near - 1, near - 2});
        }
    }
}

// A point every 8 cells along a slow slowdown, moved one cell back or forward when its cell is
// taken so that the spacing holds. Returns the slowdown end, or nothing when the walk reached
// the last cell without one.
std::optional<std::int64_t> spacing_rule(Pass& pass, std::int64_t start) {
    std::int64_t m = start;
    std::int64_t k = 0;
    while (true) {
        ++m;
        ++k;
        if (k == kSpacing) {
            if (pass.free(m)) {
                pass.place(m);
                k = 0;
            } else if (pass.free(m - 1)) {
                pass.place(m - 1);
                k = 1;
            } else if (m < pass.last && pass.free(m + 1)) {
                pass.place(m + 1);
                k = -1;
            } else {
                // k stays at 8 and only grows from here: no further point along this slowdown.
                pass.record<Fault::no_code_point_cell_along_slowdown>(m, {m, m - 1, m + 1, start});
            }
        }
        if (pass.kind(m) == cell_kind::slowdown_end) {
            return m;
        }
        if (m >= pass.last) {
            return std::nullopt;
        }
    }
}

// The end of a slowdown that gets no spacing points: the next end cell after its start.
std::optional<std::int64_t> next_slowdown_end(Pass& pass, std::int64_t start) {
    for (std::int64_t m = start + 1; m <= pass.last; ++m) {
        if (pass.kind(m) == cell_kind::slowdown_end) {
            return m;
        }
    }
    return std::nullopt;
}

// The first signal within 12 cells after a slowdown end gets a point on one of the two cells
// before it. An existing point there counts as taken.
void exit_rule(Pass& pass, std::int64_t end) {
    const std::int64_t to = std::min(end + kExitReach, pass.last);
    for (std::int64_t s = end; s <= to; ++s) {
        if (pass.kind(s) != cell_kind::signal) {
            continue;
        }
        if (pass.free(s - 1)) {
            pass.place(s - 1);
        } else if (pass.free(s - 2)) {
            pass.place(s - 2);
        } else {
            pass.record<Fault::no_code_point_cell_along_slowdown>(end, {end, s, s - 1, s - 2});
        }
        return;
    }
}

void slowdown_start_rules(Pass& pass, std::int64_t start) {
    start_rule(pass, start);
    const auto end = pass.cell(start).ref < kSlowSpeed ? spacing_rule(pass, start)
                                                       : next_slowdown_end(pass, start);
    // A start with no end after it has no exit to guard.
    if (end) {
        exit_rule(pass, *end);
    }
}

}  // namespace

std::int32_t signalling_pass(BuildState& state) {
    state.currentRecord = kNoRecord;
    Pass pass{state, state.last_cell()};
    // Cells 1 to N - 2, in order; each rule sees the points placed before it in the same pass.
    for (std::int64_t i = 1; i <= pass.last - 2; ++i) {
        const auto kind = pass.kind(i);
        if (kind == cell_kind::slowdown_warning) {
            warning_rule(pass, i);
        } else if (kind == cell_kind::slowdown_start) {
            slowdown_start_rules(pass, i);
        }
    }
    return pass.placed;
}

}  // namespace scenario::compiler
