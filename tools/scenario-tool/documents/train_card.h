#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "documents/document_scenario.h"

namespace scenario::tool {

// What the texts do not hold and the card prints: the built-in card's values by default.
struct CardOptions {
    std::string category = "V140 B";           // Windows-1252
    std::string classification = "REGIONALE";  // Windows-1252
    std::int32_t lockedMass = 330;             // tonnes
};

struct TrainCard {
    std::vector<std::string> lines;  // without line ends
    std::size_t locationRows = 0;
    std::size_t speedRows = 0;
};

// The train card of the scenario: the header and classification boxes and the route table, one
// row per location in travel order and one per change of speed limit or running speed between
// them. Throws DocumentRefusal for a value that does not fit its cell or form.
TrainCard train_card(const DocumentScenario& scenario, const CardOptions& options);

// A remark about the texts that does not stop the documents, with the train text's line.
struct DocumentNote {
    std::int32_t line = 0;
    std::string message;
};

// The changes of speed limit along the run where no maximum-speed board stands: the card prints
// the limit of the speed-limit line, while the driver sees no board there.
std::vector<DocumentNote> speed_changes_without_board(const DocumentScenario& scenario);

}  // namespace scenario::tool
