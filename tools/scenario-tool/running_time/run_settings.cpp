#include "running_time/run_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "io/text_encoding.h"

namespace scenario::running_time {

namespace {

std::optional<double> number_of(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || std::isnan(value)) {
        return std::nullopt;
    }
    return value;
}

std::string in_quotes(std::string_view value) {
    return "'" + tool::valid_utf8(value) + "'";
}

std::string listed(std::span<const std::string_view> keys) {
    std::string text;
    for (const auto key : keys) {
        text += (text.empty() ? "" : ", ") + std::string(key);
    }
    return text;
}

}  // namespace

std::span<const std::string_view> run_setting_keys() {
    static const std::vector<std::string_view> keys = [] {
        std::vector<std::string_view> keys;
        for (const auto& row : train_parameter_table()) {
            keys.push_back(row.key);
        }
        for (const std::string_view key : {"coaches", "braked-mass", "margin-note", "curves"}) {
            keys.push_back(key);
        }
        return keys;
    }();
    return keys;
}

std::optional<std::string> apply_run_setting(RunSettings& settings, std::string_view key,
                                             std::string_view value, std::string_view spelled) {
    if (key == "curves") {
        if (value != "yes" && value != "no") {
            return std::string(spelled) + " takes yes or no, not " + in_quotes(value);
        }
        settings.train.curve_resistance = value == "yes";
        return std::nullopt;
    }
    const auto keys = run_setting_keys();
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
        return "there is no setting " + in_quotes(key) + "; the settings are " + listed(keys);
    }
    const auto number = number_of(value);
    if (!number) {
        return std::string(spelled) + " takes a number, not " + in_quotes(value);
    }
    if (key == "coaches") {
        if (*number != std::floor(*number) || *number < 0 || *number > kMostCoaches) {
            return std::string(spelled) + " takes a whole number from 0 up to " +
                   std::to_string(kMostCoaches) + ", not " + in_quotes(value);
        }
        settings.train.coaches = static_cast<std::int32_t>(*number);
    } else if (key == "braked-mass") {
        if (auto problem = braked_mass_problem(*number, true)) {
            return problem;
        }
        settings.train.braked_mass_percent = *number;
    } else if (key == "margin-note") {
        if (*number < 0 || *number > 100) {
            return std::string(spelled) + " takes a percentage from 0 up to 100, not " +
                   in_quotes(value);
        }
        settings.margin_note = *number / 100;
    } else {
        const auto table = train_parameter_table();
        const auto row = std::find_if(table.begin(), table.end(),
                                      [&](const TrainParameterRow& r) { return r.key == key; });
        if (auto problem = parameter_problem(*row, *number)) {
            return problem;
        }
        settings.train.*row->member = *number;
    }
    return std::nullopt;
}

void apply_project_settings(RunSettings& settings, const tool::Project& project) {
    const auto keys = run_setting_keys();
    for (const auto& setting : project.run) {
        if (std::find(keys.begin(), keys.end(), setting.key) == keys.end()) {
            throw tool::ProjectError(
                tool::shown(project.file), setting.value.line, setting.key_column,
                "unknown [run] key " + in_quotes(setting.key) + "; [run] takes " + listed(keys));
        }
        if (auto problem =
                apply_run_setting(settings, setting.key, setting.value.text, setting.key)) {
            throw tool::ProjectError(tool::shown(project.file), setting.value.line,
                                     setting.value.column, *problem);
        }
    }
}

}  // namespace scenario::running_time
