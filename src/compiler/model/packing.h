#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "compiler/model/location_entry.h"
#include "compiler/model/path_points.h"
#include "compiler/model/track_cell.h"

namespace scenario::compiler {

using Bytes = std::vector<std::uint8_t>;

// The three compact files, little-endian, fields in layout order, no header and no padding.
Bytes pack_locations(std::span<const LocationEntry> locations);
Bytes pack_cells(std::span<const TrackCell> cells);
Bytes pack_path_points(const PathPoints& plan);

// Decoding of the same layouts. Each returns nothing when the bytes do not end exactly where
// the last record ends; nothing is ever read past the end of the bytes.
std::optional<std::vector<LocationEntry>> unpack_locations(std::span<const std::uint8_t> bytes);
std::optional<std::vector<TrackCell>> unpack_cells(std::span<const std::uint8_t> bytes);
std::optional<PathPoints> unpack_path_points(std::span<const std::uint8_t> bytes);

}  // namespace scenario::compiler
