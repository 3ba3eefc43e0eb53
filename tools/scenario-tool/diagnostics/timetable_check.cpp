#include "diagnostics/timetable_check.h"

#include <algorithm>
#include <cmath>

#include "files/windows_1252.h"
#include "running_time/number_text.h"

namespace scenario::tool {

namespace {

using compiler::Diag;
using compiler::Occurrence;
using running_time::Keeping;

// The station values the timetable reads: its hours, minutes and seconds, and its name.
constexpr std::size_t kHours = 13;
constexpr std::size_t kSeconds = 15;
constexpr std::size_t kName = 16;

// Seconds to a tenth, as the messages show them.
double tenths(double seconds) {
    return std::round(seconds * 10) / 10;
}

// "7 min 31.2 s", "45.0 s", "3 min": a span as an author reads a timetable.
std::string duration(double seconds, int decimals) {
    const auto minutes = static_cast<std::int64_t>(std::floor(seconds / 60));
    const double rest = seconds - static_cast<double>(minutes) * 60;
    if (minutes == 0) {
        return running_time::fixed(rest, decimals) + " s";
    }
    const bool whole = running_time::fixed(rest, decimals) == running_time::fixed(0, decimals);
    return std::to_string(minutes) + " min" +
           (whole ? "" : " " + running_time::fixed(rest, decimals) + " s");
}

// The place of a station's time: its three values, when they stand on one line.
compiler::FieldSpan time_span(std::span<const ReadValue> values) {
    compiler::FieldSpan at = values[kHours].field;
    const auto& last = values[kSeconds].field;
    if (last.place.line == at.place.line && last.offset >= at.offset) {
        at.length = last.offset + last.length - at.offset;
    }
    return at;
}

std::string percent(double share) {
    return running_time::fixed(share * 100, 1) + " %";
}

}  // namespace

bool whole_for_a_run(const ReadScenario& scenario) {
    return std::none_of(scenario.reading.occurrences().begin(),
                        scenario.reading.occurrences().end(), [](const Occurrence& o) {
                            if (!compiler::is_fault(o.id)) {
                                return false;
                            }
                            const auto stops = compiler::catalogue_entry(o.id).stops;
                            return stops == compiler::Stops::records ||
                                   stops == compiler::Stops::text ||
                                   stops == compiler::Stops::reading;
                        });
}

running_time::LineProfile run_profile_of(const ReadScenario& scenario) {
    auto profile = running_time::line_profile_of(scenario.state);
    const auto& reading = scenario.reading;
    const auto& bytes = scenario.line.bytes();
    std::vector<running_time::CurveRecord> curves;
    for (RecordId id = 0; id < static_cast<RecordId>(reading.records().size()); ++id) {
        const auto& r = reading.record(id);
        if (r.end != compiler::RecordEnd::placed || reading.kind_of(id).kind != "curve") {
            continue;
        }
        const auto values = reading.values_of(id);
        if (values.size() < 2) {
            continue;
        }
        curves.push_back({std::string_view(bytes).substr(r.keyword.offset, r.keyword.length),
                          values[0].read, values[1].read});
    }
    profile.curves = running_time::curve_stretches(curves);
    return profile;
}

std::vector<RecordId> station_records(const ReadScenario& scenario) {
    std::vector<RecordId> found;
    const auto& reading = scenario.reading;
    for (RecordId id = 0; id < static_cast<RecordId>(reading.records().size()); ++id) {
        const auto& r = reading.record(id);
        if (r.end == compiler::RecordEnd::placed && reading.kind_of(id).kind == "station") {
            if (reading.values_of(id).size() <= kName) {
                return {};
            }
            found.push_back(id);
        }
    }
    if (found.size() != static_cast<std::size_t>(std::max(0, scenario.state.stationCount))) {
        return {};
    }
    return found;
}

std::vector<Occurrence> timetable_occurrences(const ReadScenario& scenario,
                                              const running_time::LineProfile& profile,
                                              const running_time::RunResult& run,
                                              double margin_note) {
    std::vector<Occurrence> found;
    const auto records = station_records(scenario);
    if (!run.computed() || records.size() != profile.stations.size()) {
        return found;
    }
    const auto name_of = [&](std::size_t station) {
        return files::utf8_from_1252(profile.stations[station].name);
    };
    for (const auto& t : run.stations) {
        const auto keeping = running_time::keeping(t, margin_note);
        if (keeping != Keeping::late && keeping != Keeping::tight) {
            continue;
        }
        const auto values = scenario.reading.values_of(records[t.station]);
        Occurrence o;
        o.text = compiler::ErrorSource::train_text;
        o.at = time_span(values);
        o.position = profile.stations[t.station].position;
        o.record = records[t.station];
        const auto from = name_of(*t.previous_timed);
        const auto scheduled = duration(*t.scheduled, 0);
        if (keeping == Keeping::late) {
            o.id = Diag::timetable_too_tight;
            // The shortfall is the difference of the times shown, and never "0.0 s".
            const double fastest = tenths(*t.fastest);
            o.arguments = {{"name", name_of(t.station)},
                           {"scheduled", scheduled},
                           {"from", from},
                           {"fastest", duration(fastest, 1)},
                           {"shortfall", duration(std::max(0.1, fastest - *t.scheduled), 1)}};
        } else {
            o.id = Diag::timetable_margin_low;
            o.arguments = {{"name", name_of(t.station)},
                           {"margin", duration(tenths(*t.margin), 1)},
                           {"scheduled", scheduled},
                           {"from", from},
                           {"percent", percent(*t.margin_share)},
                           {"threshold", percent(margin_note)}};
        }
        if (t.limit_unknown) {
            o.arguments.push_back(
                {"note",
                 "no speed limit is stored over part of this span, where the run takes the "
                 "train's own top speed: the fastest time is a lower bound"});
        }
        found.push_back(std::move(o));
    }
    return found;
}

std::vector<Occurrence> timetable_occurrences(const ReadScenario& scenario,
                                              const running_time::RunSettings& settings) {
    if (!whole_for_a_run(scenario) || station_records(scenario).empty()) {
        return {};
    }
    const auto profile = run_profile_of(scenario);
    // No curve to draw: the check needs the times alone.
    running_time::RunOptions options;
    options.curve_points = 0;
    const auto run = running_time::fastest_run(profile, settings.train, options);
    return timetable_occurrences(scenario, profile, run, settings.margin_note);
}

}  // namespace scenario::tool
