#pragma once

#include <cstdint>
#include <functional>
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

// Receives packed bytes piece by piece, in file order.
using ByteSink = std::function<void(std::span<const std::uint8_t>)>;
// The same bytes as pack_path_points, in pieces of at most 64 KB: the plan of the longest route
// packs to some 20 MB, which then need never be held whole.
void pack_path_points(const PathPoints& plan, const ByteSink& sink);

// Decoding of the same layouts. Each returns nothing when the bytes do not end exactly where
// the last record ends; nothing is ever read past the end of the bytes.
std::optional<std::vector<LocationEntry>> unpack_locations(std::span<const std::uint8_t> bytes);
std::optional<std::vector<TrackCell>> unpack_cells(std::span<const std::uint8_t> bytes);
std::optional<PathPoints> unpack_path_points(std::span<const std::uint8_t> bytes);

}  // namespace scenario::compiler
