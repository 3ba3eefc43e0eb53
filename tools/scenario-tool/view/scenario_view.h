#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/model/location_entry.h"
#include "compiler/model/path_points.h"
#include "compiler/model/track_cell.h"

namespace scenario::tool {

// A compiled scenario as the picture needs it: objects at route positions in metres, the line
// properties per cell, and the plan. Names are UTF-8.
struct StationMark {
    std::int32_t position = 0;
    std::int32_t zoneStart = 0;
    std::int32_t zoneEnd = 0;
    std::uint8_t kind = 0;
    bool stops = false;  // has a stop cell
    std::string name;
};

struct SpanMark {
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::uint8_t kind = 0;
};

struct SlowdownMark {
    std::optional<std::int32_t> warning;
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::int32_t speed = 0;  // km/h
};

// A problem the author's check found, where it lies along the route.
struct DiagnosticMark {
    std::int32_t position = 0;
    bool error = false;
    std::string text;  // UTF-8, for the picture's tooltip
};

struct SignBoardMark {
    std::int32_t position = 0;
    std::string text;
};

struct ScenarioView {
    std::string title;
    std::string code;
    std::int32_t routeLength = 0;
    // Per cell i, over metres 50·i to 50·i + 50: gradient (per mille), speed limit (km/h),
    // adhesion (%).
    std::vector<std::int32_t> gradient;
    std::vector<std::int32_t> speed;
    std::vector<std::int32_t> adhesion;
    std::vector<StationMark> stations;  // by position
    std::vector<SpanMark> spans;
    std::vector<std::int32_t> signals;
    std::vector<std::int32_t> codePoints;
    std::vector<std::int32_t> speedBoards;
    std::vector<SlowdownMark> slowdowns;
    std::vector<SignBoardMark> signBoards;
    std::vector<DiagnosticMark> diagnostics;       // from `plot --line --train`
    std::optional<compiler::PathPoints> plan;      // none when compiled with --no-plan
    std::vector<std::filesystem::path> read_from;  // the compact files it was read from
};

// Route position of an object placed on cell c (objects at p go to cell p / 50 + 1).
constexpr std::int32_t object_position(std::size_t cell) {
    return (static_cast<std::int32_t>(cell) - 1) * 50;
}

// The view of a decoded scenario.
ScenarioView make_view(const std::vector<compiler::LocationEntry>& locations,
                       const std::vector<compiler::TrackCell>& cells,
                       std::optional<compiler::PathPoints> plan);

// The compact files of a compiled scenario, decoded: the table, the cells (0 to N) and the plan
// when its file is there.
struct CompiledScenario {
    std::vector<compiler::LocationEntry> locations;
    std::vector<compiler::TrackCell> cells;
    std::optional<compiler::PathPoints> plan;
    std::vector<std::filesystem::path> read_from;  // the files, in that order
};

// Reads the compiled scenario of a directory: the one .sim there, or the one named by title
// and code, with its cell file and, when present, its line binary file. Throws
// EnvironmentError when the files are missing or do not fit their layouts.
CompiledScenario load_compiled(const std::filesystem::path& directory,
                               const std::optional<std::string>& LineTitle,
                               const std::optional<std::string>& TrainCode);

// The same, as the picture needs it.
ScenarioView load_view(const std::filesystem::path& directory,
                       const std::optional<std::string>& LineTitle,
                       const std::optional<std::string>& TrainCode);

// The title and the code (Windows-1252) of the one compiled scenario in a directory, and the
// scenario file they were read from. Throws EnvironmentError as load_view does.
struct ScenarioNames {
    std::string title;
    std::string code;
    std::filesystem::path read_from;
};
ScenarioNames scenario_names(const std::filesystem::path& directory);

// The title and the code as the builder names the texts, <title>_linea.txt and
// <title>_<code>-.txt, in UTF-8; empty where the names do not follow that pattern.
std::pair<std::string, std::string> names_from_texts(const std::filesystem::path& line,
                                                     const std::filesystem::path& train);

}  // namespace scenario::tool
