#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "inspect/compact_file.h"

namespace scenario::tool {

// What to show of a decoded file.
struct DumpOptions {
    std::optional<std::int64_t> first_cell;  // --cells A..B, both inclusive
    std::optional<std::int64_t> last_cell;
    std::int32_t every = 1000;  // metres between two plan samples
    bool json = false;
};

// Parses "A..B" or "A" (cell indices); nothing when it is neither.
std::optional<std::pair<std::int64_t, std::int64_t>> parse_cell_range(std::string_view text);

// The decoded file as text for a person, or as one JSON object.
std::string render_dump(const DecodedFile& file, std::uintmax_t byte_count,
                        const DumpOptions& options);

}  // namespace scenario::tool
