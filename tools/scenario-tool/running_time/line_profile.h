#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/build_state.h"

namespace scenario::running_time {

// Metres of one cell: cell c covers metres [50c, 50c + 50).
inline constexpr std::int32_t kCellMetres = 50;
// Stations of this kind and above are passed without a stop.
inline constexpr std::int32_t kFirstPassedKind = 25;

// A slowdown as the build lays it out: from the start of its start board's cell to the end of
// its end board's cell, that is [50 * first_cell, 50 * last_cell + 50). The boards stand one
// cell past the positions the author wrote, so this runs 50 m later than the text reads.
struct LaidSlowdown {
    std::int32_t first_cell = 0;
    std::int32_t last_cell = 0;
    std::int32_t kmh = 0;
};

// A stretch of curve: metres [from, to) turn with this radius.
struct CurveStretch {
    std::int32_t from = 0;
    std::int32_t to = 0;
    double radius = 0;  // m
};

// A station line as the build stored it.
struct RunStation {
    std::string name;  // Windows-1252 bytes, as in the table
    std::int32_t position = 0;
    std::int32_t kind = 0;
    std::int32_t zoneStart = 0;
    std::int32_t zoneEnd = 0;
    std::int32_t dwell = 0;            // s
    std::optional<std::int32_t> time;  // s after midnight; none when all three values are 0
    std::size_t entry = 0;             // its entry in the scenario table

    bool stops() const { return kind < kFirstPassedKind; }
};

// Everything of the build the running-time check reads, small enough for a test to write by
// hand.
struct LineProfile {
    std::vector<std::int32_t> limit_kmh;          // per cell: speedStep * 5, 0 where none stored
    std::vector<std::int32_t> gradient_permille;  // per cell: gradientCode - 100, + climbing
    std::vector<LaidSlowdown> slowdowns;
    std::vector<CurveStretch> curves;      // from the curve records: curve_stretches()
    std::vector<RunStation> stations;      // in travel order
    std::int32_t coaches = 0;              // 'numero vetture'
    std::int32_t braked_mass_percent = 0;  // 'percentuale massa frenata'
};

// The profile of a compiled scenario: the cells' limits and gradients, the slowdowns by their
// boards (a start board of kind 3 opens one at its speed, the next end board of kind 2 of the
// same speed closes it), the stations of the table and the train's coaches and braked mass.
// The curves are the caller's: curve_stretches() of the curve records.
LineProfile line_profile_of(const compiler::BuildState& state);

// A curve line of the line text as it was read: its keyword and its two values.
struct CurveRecord {
    std::string_view keyword;  // "curvas5": the class is its first digit of "1" to "6"
    std::int64_t start = 0;    // m
    std::int64_t length = 0;   // m
};

// The stretches the build bends the plan along, from the curve records it placed, in their
// order: the class digit as the build tests it ("1" first) gives the curvature per metre, its
// inverse the radius; metres [start, start + length) turn, less what an earlier curve already
// covered (the build bends each metre once, from where it stands on). So a check that computes
// no plan counts the same curves as a build that does.
std::vector<CurveStretch> curve_stretches(std::span<const CurveRecord> records);

}  // namespace scenario::running_time
