#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io/project_file.h"
#include "running_time/timetable.h"
#include "running_time/train_parameters.h"

namespace scenario::running_time {

// What a run assumes and when a kept time earns a note: what the author may set, by an option
// of `run` or a key of the project's [run].
struct RunSettings {
    TrainParameters train;
    double margin_note = kDefaultMarginNote;  // a share of the scheduled time
};

// The names of the settings: every row of train_parameter_table(), then coaches, braked-mass,
// margin-note (a percentage) and curves (yes or no).
std::span<const std::string_view> run_setting_keys();

// Sets one setting from its text. Returns what is wrong, worded for the setting as the author
// wrote it (`spelled`: "--power" for an option, "power" for a key), with the value and the
// range or form it must take; nothing when it was set. A value out of its range leaves the
// settings as they were.
std::optional<std::string> apply_run_setting(RunSettings& settings, std::string_view key,
                                             std::string_view value, std::string_view spelled);

// The project's [run] settings applied in the order written over `settings`. Throws
// tool::ProjectError at the place of an unknown key (naming the keys there are) or of a value
// that cannot be set.
void apply_project_settings(RunSettings& settings, const tool::Project& project);

}  // namespace scenario::running_time
