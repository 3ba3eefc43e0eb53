#pragma once

// The running-time check: can the train keep the timetable of its text? It computes the
// fastest run the train can make along the line as the build laid it out (a speed-distance
// calculation as timetable planners make one) and sets it against the times the author wrote.
//
// What it assumes, and why:
//
// The line, per metre (cell c covers metres [50c, 50c + 50)):
// - The line's limit is the cell's speedStep * 5 km/h. A cell that stores 0 (before the first
//   speed record, or a speed under 3 km/h) has no limit known: the train runs there at its own
//   top speed and the run reports the stretch, so a time over it is a lower bound, not a
//   blocker. Maximum-speed boards are the line's signs; the limit is the train text's.
// - A slowdown restricts from the start of its start board's cell (kind 3, `ref` = speed) to
//   the end of its end board's cell (kind 2): where the build placed the boards, which is 50 m
//   past the position the text gives. A slowdown of 0 km/h or less blocks the run.
// - Signals show clear; no other train is in the way.
// - The gradient is the cell's gradientCode - 100, per mille, positive climbing in the
//   direction of travel. It acts on the train as the mean over the train's length.
// - A curve of radius R resists like a climb of 650 / (R - 55) per mille (Röckl's rule;
//   500 / (R - 30) below 300 m), again as the mean over the train. R is the inverse of the
//   class's curvature per metre, over the metres the build bends (curve_stretches()): the
//   radius the plan has, without computing the plan.
// - Adhesion is not modelled: the default acceleration asks for 0.22 of the locomotive's
//   weight in adhesion; a dry rail gives about 0.33, and 70 % of it (the least the built-in
//   line stores) 0.23.
//
// The train:
// - Its length is the locomotive's plus coaches times a coach's. The limit in force for the
//   head at s is the least over [s - length, s]: braking for a lower limit is finished where
//   the limit starts, and the train accelerates after a limit only when its tail has left it.
// - Acceleration a(v) = min(a_max, P / (k M v)) - (A + B v + C v²) / (k M) - g i / k, with M
//   the mass, k the rotating-mass factor, P the power at the rail, A + B v the rolling and
//   speed resistance as shares of the weight, C = ½ ρ (drag areas) the air, i the gradient and
//   curve term. With P infinite, no resistance and a level line it is a_max alone.
// - Braking is the service brake b = b_100 × λ / 100 (λ the braked-mass percentage), plus
//   g i / k for the gradient (a climb helps, a descent hinders), without the help of the
//   resistances. Where a descent leaves no braking (b + g i / k ≤ 0) the run is blocked there.
// - Before every braking the train runs `reaction` seconds at constant speed, neither drawing
//   power nor braking (the driver reacts, the air brake builds up); the brake then starts where
//   the limit is still met at its start. So the reaction costs time only where the train would
//   otherwise accelerate right up to its braking point; cruising at a limit, or slowing on a
//   climb, it costs nothing.
// - The train never exceeds its own top speed. A train that cannot start, or stalls on a
//   climb, blocks the run at that metre.
//
// The run:
// - Every station of kind below 25 is a stop, and so are the first and the last station of any
//   kind: the head stops at the end of the station's stop cell, its zone end (the stop cell is
//   zoneEnd / 50 - 1), waits its dwell (value 13, seconds) and departs. Stations of kind 25
//   and above are passed; their moment is the head passing their position. The run starts at
//   rest at the first station and ends at rest at the last; the first station's dwell and the
//   last's do not count.
// - The speed is found on a 1 m grid: a forward pass accelerating from each stop, a backward
//   pass braking into the next one, each under the limits, and the lesser of the two; then the
//   reaction runs. Time is the sum over each metre of 1 m / (mean of its end speeds), exact for
//   a constant acceleration and finite at a standstill. Acceleration is taken at each metre's
//   start (its error under 0.1 % at these speeds), and the gradients at the train's place at
//   the metre's middle. Limits change on whole metres, so a limit's start and end are exact;
//   where acceleration meets braking between two metres, a run is off by at most the time of
//   about a metre.
//
// The timetable:
// - A station's time (hours, minutes, seconds) is its departure; the last station's is its
//   arrival; three zeros is no time. For each timed station after the first timed one:
//   scheduled = its time - the previous timed station's (plus 24 h across midnight); fastest =
//   the run's time over the same span (running, the dwells of the stops in between and its
//   own dwell, except at the last station); margin = scheduled - fastest; the margin's share
//   of the scheduled time; and the top speed of the run in the span.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "running_time/line_profile.h"
#include "running_time/run_result.h"
#include "running_time/train_parameters.h"

namespace scenario::running_time {

struct RunOptions {
    std::size_t curve_points = 4000;  // at most this many points on the curve; 0: no curve
    // km/h: no metre of the run lies further than this off the curve's lines; doubled until
    // the points fit.
    double curve_tolerance = 0.5;
};

// The fastest run of the train along the profile and the timetable set against it.
RunResult fastest_run(const LineProfile& profile, const TrainParameters& parameters,
                      const RunOptions& options = {});

}  // namespace scenario::running_time
