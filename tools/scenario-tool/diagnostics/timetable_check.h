#pragma once

#include <vector>

#include "reading/author_reading.h"
#include "running_time/fastest_run.h"
#include "running_time/run_settings.h"
#include "running_time/timetable.h"

namespace scenario::tool {

// Whether the reading leaves the line and the train whole for a run: no fault stopped the
// reading of a text (a fault that ends a text's records, its reading or both readings).
bool whole_for_a_run(const ReadScenario& scenario);

// The line of the run as one reading gives it: the build state's cells, slowdowns and stations,
// and the curves from the curve records the reading placed, so that a check, which computes no
// plan, counts the curves as `run` does.
running_time::LineProfile run_profile_of(const ReadScenario& scenario);

// The station records the reading placed, one per station of the profile, in order; empty when
// they do not match one to one or their values were not kept.
std::vector<RecordId> station_records(const ReadScenario& scenario);

// timetable-too-tight at each station whose scheduled time the run cannot keep, and
// timetable-margin-low where the margin is under `margin_note` of the scheduled time; each at
// the station's time in the train text.
std::vector<compiler::Occurrence> timetable_occurrences(const ReadScenario& scenario,
                                                        const running_time::LineProfile& profile,
                                                        const running_time::RunResult& run,
                                                        double margin_note);

// The same for the train and the threshold of `settings` (by default the model's), when the
// reading is whole and the run can be made; none otherwise.
std::vector<compiler::Occurrence> timetable_occurrences(
    const ReadScenario& scenario, const running_time::RunSettings& settings = {});

}  // namespace scenario::tool
