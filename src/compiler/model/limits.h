#pragma once

#include <cstdint>

namespace scenario::compiler {

// The longest route the line text may give, in metres: the cells and the plan are made for at
// most this.
inline constexpr std::int32_t kLongestRoute = 1000000;
// Metres the route runs on past its length: the cells and the plan cover it too.
inline constexpr std::int32_t kRunOut = 7000;
// The plan of a curve may not run past this metre.
inline constexpr std::int64_t kLastCurveMetre = 1000000;
// Metres of route one cell stands for.
inline constexpr std::int32_t kCellLength = 50;

}  // namespace scenario::compiler
