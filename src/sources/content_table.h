#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "files/output_file.h"
#include "files/output_set.h"

namespace scenario::sources {

// Closes the lines of a content table; it is never written to the file.
inline constexpr std::string_view kEndMarker = "riferimento fine del file";
inline constexpr std::size_t kContentSlots = 1001;  // slots 0..1000

// A text file as a table of line slots: the lines, then the end marker, then empty slots.
using ContentTable = std::array<std::string_view, kContentSlots>;

// Puts the lines into slots 0.. and the end marker right after them.
ContentTable content_table(std::span<const std::string_view> lines);

// The file's bytes: every slot before the first end marker, each followed by CR LF. A table
// without an end marker is written whole, all 1001 slots.
std::string render(const ContentTable& table);

// Replaces the file with the rendered table.
void write_content(const std::filesystem::path& file, const ContentTable& table,
                   files::Flush flush = files::Flush::to_disk);
// Adds the file with the rendered table to a set, which replaces it when the set is committed.
void add_content(files::OutputSet& set, const std::filesystem::path& file,
                 const ContentTable& table);

}  // namespace scenario::sources
