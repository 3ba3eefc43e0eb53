#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace scenario::compiler {

// How one plan coordinate is stored in the line binary file.
enum class PlanTag : std::uint16_t { empty = 0, integer = 2, real = 5 };

// One coordinate (x or y) of the track plan at every metre of the route.
struct PlanAxis {
    std::vector<PlanTag> tags;
    std::vector<double> values;

    friend bool operator==(const PlanAxis&, const PlanAxis&) = default;
};

// The plan coordinates of the track, metres 0 to M, axis 0 = x and axis 1 = y.
// Points 0 and 1 are the integers (0, 0) and (0, 1); computed points are doubles; the last two
// metres stay empty.
struct PathPoints {
    std::array<PlanAxis, 2> axis;

    // Discards any earlier plan and makes metres 0..last_metre, all empty.
    void allocate(std::int32_t last_metre);
    void clear();
    bool allocated() const { return !axis[0].tags.empty(); }
    // M, the highest metre index; -1 when no plan is allocated.
    std::int32_t last_metre() const { return static_cast<std::int32_t>(axis[0].tags.size()) - 1; }

    friend bool operator==(const PathPoints&, const PathPoints&) = default;
};

}  // namespace scenario::compiler
