#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "running_time/run_result.h"

namespace scenario::running_time {

// The speed-distance curve of a run, thinned for drawing: kmh[j] is the speed at metre
// first_metre + j. The kept points run through the curve within `tolerance` km/h: every metre
// lies that close to the line between the kept points around it. The metres in `fixed` (the
// stops) are kept exactly, as are the first and the last.
std::vector<SpeedPoint> thin_curve(std::span<const float> kmh, std::int32_t first_metre,
                                   std::span<const std::int32_t> fixed, double tolerance);

// The same with the tolerance doubled until at most `most` points remain.
std::vector<SpeedPoint> thin_curve_to(std::span<const float> kmh, std::int32_t first_metre,
                                      std::span<const std::int32_t> fixed, double tolerance,
                                      std::size_t most);

}  // namespace scenario::running_time
