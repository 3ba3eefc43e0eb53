#pragma once

#include <string>
#include <vector>

#include "documents/document_scenario.h"

namespace scenario::tool {

// At most this many restrictions: the order's first column holds two digits.
inline constexpr std::size_t kMostRestrictions = 99;

// The slowdown order of the scenario: one restriction row per slowdown line, numbered in travel
// order, in a table of at least 25 rows that grows with the restrictions. Throws DocumentRefusal
// for a value that does not fit its cell, and for more than 99 restrictions.
std::vector<std::string> slowdown_order(const DocumentScenario& scenario);

}  // namespace scenario::tool
