#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "inspect/compact_file.h"

namespace scenario::tool {

// What to show of a decoded file.
// A record of the author's texts behind what a cell holds.
struct CellSource {
    std::string use;   // "object", "stop", "approach mark", "speed", ...
    std::string file;  // UTF-8, as the author named it; empty for the signalling pass
    std::int32_t line = 0;
    std::int32_t column = 0;
    std::string kind;  // the record kind: "signal", "speed limit", ...
};

struct DumpOptions {
    std::optional<std::int64_t> first_cell;  // --cells A..B, both inclusive
    std::optional<std::int64_t> last_cell;
    std::int32_t every = 1000;  // metres between two plan samples
    bool json = false;
    // Given the texts, the records behind each cell; the text form names those of its objects
    // and marks, the JSON form all of them.
    std::function<std::vector<CellSource>(std::size_t cell)> sources;
};

// Parses "A..B" or "A" (cell indices); nothing when it is neither.
std::optional<std::pair<std::int64_t, std::int64_t>> parse_cell_range(std::string_view text);

// The decoded file as text for a person, or as one JSON object.
std::string render_dump(const DecodedFile& file, std::uintmax_t byte_count,
                        const DumpOptions& options);

}  // namespace scenario::tool
