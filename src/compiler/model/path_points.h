#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace scenario::compiler {

// How one plan coordinate is stored in the line binary file.
enum class PlanTag : std::uint16_t { empty = 0, integer = 2, real = 5 };

// One coordinate (x or y) of the track plan at every metre of the route, a view into the
// plan's storage.
struct PlanAxis {
    std::span<PlanTag> tags;
    std::span<double> values;
};

// The plan coordinates of the track, metres 0 to M, axis 0 = x and axis 1 = y.
// Points 0 and 1 are the integers (0, 0) and (0, 1); computed points are doubles; the last two
// metres stay empty.
//
// Both axes live in one block that comes zeroed from the system, in huge pages where it gives
// them: at 20 bytes a metre the plan is the build's largest memory, and having it faulted in
// 4 KB at a time and cleared again cost more than computing it.
class PathPoints {
  public:
    std::array<PlanAxis, 2> axis;

    PathPoints() = default;
    PathPoints(const PathPoints& other);
    PathPoints(PathPoints&& other) noexcept;
    PathPoints& operator=(const PathPoints& other);
    PathPoints& operator=(PathPoints&& other) noexcept;
    ~PathPoints();

    // Discards any earlier plan and makes metres 0..last_metre, all empty with value 0.
    void allocate(std::int32_t last_metre);
    void clear();
    bool allocated() const { return !axis[0].tags.empty(); }
    // M, the highest metre index; -1 when no plan is allocated.
    std::int32_t last_metre() const { return static_cast<std::int32_t>(axis[0].tags.size()) - 1; }

    // Equal when both have the same metres with the same tags and values.
    friend bool operator==(const PathPoints& a, const PathPoints& b);

  private:
    void* block_ = nullptr;
    std::size_t block_bytes_ = 0;
};

}  // namespace scenario::compiler
