#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_description.h"

namespace scenario::tool {

// One entry `scenario-tool explain` can show: a fault of the catalogue, and later other
// diagnostics with names and explanations of their own.
struct ExplainedEntry {
    std::string_view kind;  // as the compile reports it: "error"
    std::int32_t number;
    std::string_view name;
    bool sets_position;
    std::string_view meaning;
    std::string_view explanation;
};

// Every entry, table by table: the fault catalogue first.
std::vector<ExplainedEntry> explained_entries();

// The entry of a number ("16") or a symbolic name ("signal_cell_taken"); the first table that
// has it wins.
std::optional<ExplainedEntry> find_explained(std::string_view number_or_name);

const CommandDescription& explain_description();

// `scenario-tool explain N|NAME` and `scenario-tool explain --list`; returns the exit status.
int explain_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
