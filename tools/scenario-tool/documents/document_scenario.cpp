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

}  // namespace

const KilometricRange* DocumentScenario::range_at(std::int64_t position) const {
    return tool::range_at(ranges, position);
}

std::optional<std::int64_t> DocumentScenario::kilometre(std::int64_t position) const {
    return kilometre_at(ranges, position);
}

bool DocumentScenario::has_speed_board_at(std::int32_t position) const {
    return std::binary_search(speedBoardCells.begin(), speedBoardCells.end(),
                              static_cast<std::int32_t>(compiler::board_cell(position)));
}

DocumentScenario document_scenario(const ReadScenario& read) {
    const compiler::BuildState& state = read.state;
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

    auto records = train_text_records(read.reading);
    if (records.stations.size() != static_cast<std::size_t>(state.stationCount)) {
        throw std::logic_error("the reading placed " + std::to_string(records.stations.size()) +
                               " station records, the table holds " +
                               std::to_string(state.stationCount));
    }
    for (std::size_t i = 0; i < records.stations.size(); ++i) {
        const auto& entry = state.locations[i + 1];
        const auto& record = records.stations[i];
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
