#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/build_state.h"
#include "documents/train_text_records.h"
#include "reading/route_facts.h"

namespace scenario::tool {

// A location of the run as the documents print it: what the compile stored for its station
// line, with the platform length and the line of its record.
struct CardLocation {
    std::string name;  // Windows-1252, as the train text gives it
    std::int32_t position = 0;
    std::int32_t platform = 0;
    std::int32_t zoneStart = 0;
    std::int32_t zoneEnd = 0;
    std::uint8_t kind = 0;
    std::uint8_t dwell = 0;      // seconds
    std::int32_t timeOfDay = 0;  // seconds since midnight; 0: no scheduled time
    std::int32_t line = 0;       // of its record in the train text

    // Kinds from 25 on are passed without a stop (the build gives them no stop cell).
    bool stops() const { return kind < 25; }
};

// Everything the train card and the slowdown order are made from.
struct DocumentScenario {
    std::string LineTitle;  // Windows-1252
    std::string TrainCode;
    std::int32_t brakedMass = 0;          // percent
    std::vector<CardLocation> locations;  // in travel order
    std::vector<SpeedLimitLine> speedLimits;
    std::vector<SlowdownLine> slowdowns;
    std::vector<KilometricRange> ranges;        // the ranges in use, by start
    std::vector<std::int32_t> speedBoardCells;  // cells that hold a maximum-speed board, ascending

    // The range in force at a position: the one with the greatest start not past it; none when
    // no range covers the position.
    const KilometricRange* range_at(std::int64_t position) const;
    // The line's own kilometre reading at a position, by the range in force there.
    std::optional<std::int64_t> kilometre(std::int64_t position) const;
    // Whether a maximum-speed board stands where a record at the position is placed.
    bool has_speed_board_at(std::int32_t position) const;
};

// The documents' view of a scenario that compiled without a fault: the stations, the ranges and
// the boards from the build state, the speed limits, slowdowns and platforms as the reading met
// their records.
DocumentScenario document_scenario(const ReadScenario& read);

// Takes the locations of these names off the documents (a name as in the train text, or as the
// card prints it). Throws DocumentRefusal for a name the run has not, or for the station of
// departure or of arrival, which head the card.
void leave_off(DocumentScenario& scenario, const std::vector<std::string>& names);

}  // namespace scenario::tool
