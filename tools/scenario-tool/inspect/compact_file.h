#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/model/location_entry.h"
#include "compiler/model/packing.h"
#include "compiler/model/path_points.h"
#include "compiler/model/track_cell.h"

namespace scenario::tool {

// The three compact layouts.
enum class CompactKind { scenario, cells, plan };

// The layout a file's name promises: "_linea.dat" the track plan, ".sim" the scenario table,
// any other ".dat" the cells.
std::optional<CompactKind> kind_from_name(const std::filesystem::path& file);
// The layout named on the command line: "scenario", "cells" or "plan".
std::optional<CompactKind> kind_from_word(std::string_view word);
std::string_view kind_description(CompactKind kind);

// The most bytes a file of the layout can hold: what the packer makes of the longest route
// (compiler::kLongestRoute, and the run-out the cells and the plan cover past it) with every
// field at its widest. A larger file is none of these files.
std::uint64_t largest_compact_size(CompactKind kind);

// Reads a compact file whole. What is not a regular file, or is larger than its layout allows,
// is refused before a byte is read (files::FileError), as is a file that cannot be read.
std::string read_compact_file(const std::filesystem::path& file, CompactKind kind);

// A compact file decoded into the model; only the member of its kind is filled.
struct DecodedFile {
    CompactKind kind = CompactKind::cells;
    std::vector<compiler::LocationEntry> locations;
    std::vector<compiler::TrackCell> cells;
    compiler::PathPoints plan;
};

// Decodes by the packer's own layouts, or says where the bytes stop fitting the layout.
// Nothing is read past the end of the bytes. A plan of more points than the longest route's
// does not fit either.
struct DecodeOutcome {
    std::optional<DecodedFile> file;
    std::string misfit;  // when `file` is empty: what does not fit, and at which byte
};
DecodeOutcome decode_compact(std::span<const std::uint8_t> bytes, CompactKind kind);

// The bytes the packer makes of a decoded file: the same bytes it was decoded from.
compiler::Bytes repack(const DecodedFile& file);

}  // namespace scenario::tool
