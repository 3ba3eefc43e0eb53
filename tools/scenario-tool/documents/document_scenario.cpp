#include "documents/document_scenario.h"

#include <algorithm>
#include <stdexcept>

#include "compiler/model/track_cell.h"
#include "compiler/placement/cell_index.h"
#include "documents/document_forms.h"

namespace scenario::tool {

namespace {

using compiler::entry::range_tre;
using compiler::entry::range_uno;

// progressive_ordina adds this to the kilometric value of a decreasing range; the reading on
// the line is the value as written.
constexpr std::int32_t kDecreasingRangeOffset = 100;

std::vector<KilometricRange> ranges_in_use(const compiler::BuildState& state) {
    std::vector<KilometricRange> ranges;
    for (std::size_t i = range_tre; i <= range_uno; ++i) {
        const auto& e = state.locations[i];
        KilometricRange range{e.zoneStart, e.zoneEnd, e.position};
        if (range.sense == 1) {
            range.value -= kDecreasingRangeOffset;
        }
        if (range.start != 0 || range.value != 0 || range.sense != 0) {
            ranges.push_back(range);
        }
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const auto& a, const auto& b) { return a.start < b.start; });
    return ranges;
}

}  // namespace

const KilometricRange* DocumentScenario::range_at(std::int64_t position) const {
    const KilometricRange* in_force = nullptr;
    for (const auto& range : ranges) {
        if (range.start <= position) {
            in_force = &range;
        }
    }
    return in_force;
}

std::optional<std::int64_t> DocumentScenario::kilometre(std::int64_t position) const {
    const KilometricRange* in_force = range_at(position);
    if (in_force == nullptr) {
        return std::nullopt;
    }
    const std::int64_t run = position - in_force->start;
    return in_force->sense == 1 ? in_force->value - run : in_force->value + run;
}

bool DocumentScenario::has_speed_board_at(std::int32_t position) const {
    return std::binary_search(speedBoardCells.begin(), speedBoardCells.end(),
                              static_cast<std::int32_t>(compiler::board_cell(position)));
}

DocumentScenario document_scenario(const compiler::BuildState& state, std::string_view train_text) {
    DocumentScenario scenario;
    scenario.LineTitle = state.LineTitle;
    scenario.TrainCode = state.TrainCode;
    scenario.brakedMass = state.locations[compiler::entry::train].zoneStart;
    scenario.ranges = ranges_in_use(state);
    for (std::size_t c = 0; c < state.cells.size(); ++c) {
        if (state.cells[c].kind == compiler::cell_kind::speed_board) {
            scenario.speedBoardCells.push_back(static_cast<std::int32_t>(c));
        }
    }

    auto records = read_train_text_records(train_text);
    if (records.stations.size() != static_cast<std::size_t>(state.stationCount)) {
        throw std::logic_error("the second reading of the train text found " +
                               std::to_string(records.stations.size()) + " stations, the compile " +
                               std::to_string(state.stationCount));
    }
    for (std::size_t i = 0; i < records.stations.size(); ++i) {
        const auto& entry = state.locations[i + 1];
        const auto& record = records.stations[i];
        if (record.position != entry.position) {
            throw std::logic_error("the second reading of the train text found a station at " +
                                   std::to_string(record.position) + " m, the compile at " +
                                   std::to_string(entry.position) + " m");
        }
        scenario.locations.push_back({entry.name, entry.position, record.platform, entry.zoneStart,
                                      entry.zoneEnd, entry.kind, entry.dwell, entry.timeOfDay,
                                      record.line});
    }
    scenario.speedLimits = std::move(records.speedLimits);
    scenario.slowdowns = std::move(records.slowdowns);
    return scenario;
}

void leave_off(DocumentScenario& scenario, const std::vector<std::string>& names) {
    auto& locations = scenario.locations;
    for (const auto& name : names) {
        const auto named = [&](const CardLocation& l) {
            return printed_name(l.name) == printed_name(name) || l.name == name;
        };
        const auto found = std::find_if(locations.begin(), locations.end(), named);
        if (found == locations.end()) {
            throw DocumentRefusal("--leave-off " + quoted(name) +
                                  ": the train text has no location of that name");
        }
        if (found == locations.begin() || found + 1 == locations.end()) {
            throw DocumentRefusal("--leave-off " + quoted(name) + ": the station of " +
                                      (found == locations.begin() ? "departure" : "arrival") +
                                      " heads the train card and cannot be left off",
                                  found->line);
        }
        locations.erase(std::remove_if(locations.begin() + 1, locations.end() - 1, named),
                        locations.end() - 1);
    }
}

}  // namespace scenario::tool
