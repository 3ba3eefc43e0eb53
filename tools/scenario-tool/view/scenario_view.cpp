#include "view/scenario_view.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "cli/exit_status.h"
#include "compiler/model/build_state.h"
#include "files/file_names.h"
#include "files/replace_file.h"
#include "inspect/compact_file.h"
#include "io/safe_names.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;
namespace kind = compiler::cell_kind;

constexpr std::int32_t kCell = 50;

void add_spans(ScenarioView& view, const std::vector<compiler::TrackCell>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto span_kind = cells[i].spanKind;
        if (span_kind == 0) {
            continue;
        }
        const auto first = i;
        while (i + 1 < cells.size() && cells[i + 1].spanKind == span_kind) {
            ++i;
        }
        view.spans.push_back({static_cast<std::int32_t>(first) * kCell,
                              static_cast<std::int32_t>(i + 1) * kCell, span_kind});
    }
}

void add_objects(ScenarioView& view, const std::vector<compiler::TrackCell>& cells,
                 const std::vector<compiler::LocationEntry>& locations) {
    std::optional<std::int32_t> warning;
    std::optional<SlowdownMark> open;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto& cell = cells[i];
        const auto at = object_position(i);
        switch (cell.kind) {
            case kind::signal:
                view.signals.push_back(at);
                break;
            case kind::code_point:
                view.codePoints.push_back(at);
                break;
            case kind::speed_board:
                view.speedBoards.push_back(at);
                break;
            case kind::slowdown_warning:
                warning = at;
                break;
            case kind::slowdown_start:
                open = SlowdownMark{warning, at, at, cell.ref};
                warning.reset();
                break;
            case kind::slowdown_end:
                if (open) {
                    open->end = at;
                    view.slowdowns.push_back(*open);
                    open.reset();
                }
                break;
            case kind::sign_board:
                if (cell.ref >= 0 && static_cast<std::size_t>(cell.ref) < locations.size()) {
                    view.signBoards.push_back(
                        {at, utf8_from_1252(locations[static_cast<std::size_t>(cell.ref)].name)});
                }
                break;
            default:
                break;
        }
    }
}

void add_stations(ScenarioView& view, const std::vector<compiler::TrackCell>& cells,
                  const std::vector<compiler::LocationEntry>& locations) {
    std::set<std::int32_t> boards;
    std::set<std::int32_t> stops;
    for (const auto& cell : cells) {
        if (cell.kind == kind::sign_board) {
            boards.insert(cell.ref);
        } else if (cell.kind == kind::station_stop) {
            stops.insert(cell.ref);
        }
    }
    const auto last = std::min(locations.size(), compiler::entry::first_sign_slot + 1);
    for (std::size_t i = 1; i < last; ++i) {
        const auto& entry = locations[i];
        const auto index = static_cast<std::int32_t>(i);
        if (entry == compiler::LocationEntry{} || boards.contains(index)) {
            continue;
        }
        view.stations.push_back({entry.position, entry.zoneStart, entry.zoneEnd, entry.kind,
                                 stops.contains(index), utf8_from_1252(entry.name)});
    }
    std::stable_sort(
        view.stations.begin(), view.stations.end(),
        [](const StationMark& a, const StationMark& b) { return a.position < b.position; });
}

DecodedFile decode_file(const fs::path& file, CompactKind kind) {
    std::string bytes;
    try {
        bytes = read_compact_file(file, kind);
    } catch (const files::FileError& failure) {
        throw EnvironmentError(failure.what());
    }
    auto decoded = decode_compact(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), kind);
    if (!decoded.file) {
        throw EnvironmentError("'" + valid_utf8(file.string()) + "' does not fit the layout of a " +
                               std::string(kind_description(kind)) + ": " + decoded.misfit);
    }
    return std::move(*decoded.file);
}

fs::path find_scenario_file(const fs::path& directory, const std::optional<std::string>& title,
                            const std::optional<std::string>& code) {
    if (title && code) {
        return files::full_path(directory, files::scenario_file_name(*title, *code));
    }
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(directory, ec)) {
        if (item.is_regular_file(ec) && item.path().extension() == ".sim") {
            found.push_back(item.path());
        }
    }
    if (ec) {
        throw EnvironmentError("cannot read the directory '" + valid_utf8(directory.string()) +
                               "': " + ec.message());
    }
    if (found.size() != 1) {
        throw EnvironmentError(
            found.empty()
                ? "no compiled scenario (.sim) in '" + valid_utf8(directory.string()) + "'"
                : "several scenarios (.sim) in '" + valid_utf8(directory.string()) +
                      "'; choose one with --title and --code");
    }
    return found.front();
}

}  // namespace

ScenarioView make_view(const std::vector<compiler::LocationEntry>& locations,
                       const std::vector<compiler::TrackCell>& cells,
                       std::optional<compiler::PathPoints> plan) {
    ScenarioView view;
    if (locations.size() > compiler::entry::repetition) {
        view.title = utf8_from_1252(locations[compiler::entry::scenery].name);
        view.code = utf8_from_1252(locations[compiler::entry::repetition].name);
        view.routeLength = locations[compiler::entry::train].zoneEnd;
    }
    const auto cells_on_route = std::clamp<std::int64_t>(view.routeLength / kCell, 0,
                                                         static_cast<std::int64_t>(cells.size()));
    if (view.routeLength <= 0 || cells_on_route == 0) {
        view.routeLength = static_cast<std::int32_t>(cells.size()) * kCell;
    }
    for (std::size_t i = 0;
         i < cells.size() && static_cast<std::int64_t>(i) * kCell < view.routeLength; ++i) {
        view.gradient.push_back(cells[i].gradientCode == 0 ? 0 : cells[i].gradientCode - 100);
        view.speed.push_back(cells[i].speedStep * 5);
        view.adhesion.push_back(cells[i].adhesion);
    }
    add_spans(view, cells);
    add_objects(view, cells, locations);
    add_stations(view, cells, locations);
    view.plan = std::move(plan);
    return view;
}

namespace {

constexpr std::string_view kLineSuffix = "_linea.txt";
constexpr std::string_view kTrainSuffix = "-.txt";

void expect_directory(const fs::path& directory) {
    std::error_code ec;
    if (!fs::is_directory(directory, ec)) {
        throw EnvironmentError("'" + valid_utf8(directory.string()) + "' is not a directory");
    }
}

}  // namespace

ScenarioNames scenario_names(const fs::path& directory) {
    expect_directory(directory);
    const auto sim = find_scenario_file(directory, std::nullopt, std::nullopt);
    const auto table = decode_file(sim, CompactKind::scenario);
    if (table.locations.size() != compiler::kLocationCount) {
        throw EnvironmentError("'" + valid_utf8(sim.string()) + "' holds " +
                               std::to_string(table.locations.size()) +
                               " entries, not the 87 of a scenario file");
    }
    return {table.locations[compiler::entry::scenery].name,
            table.locations[compiler::entry::repetition].name, sim};
}

std::pair<std::string, std::string> names_from_texts(const fs::path& line, const fs::path& train) {
    const std::string l = line.filename().string();
    const std::string t = train.filename().string();
    if (!l.ends_with(kLineSuffix)) {
        return {};
    }
    std::string title = l.substr(0, l.size() - kLineSuffix.size());
    std::string code;
    if (t.starts_with(title + "_") && t.ends_with(kTrainSuffix) &&
        t.size() > title.size() + 1 + kTrainSuffix.size()) {
        code = t.substr(title.size() + 1, t.size() - title.size() - 1 - kTrainSuffix.size());
    }
    return {valid_utf8(title), valid_utf8(code)};
}

CompiledScenario load_compiled(const fs::path& directory,
                               const std::optional<std::string>& LineTitle,
                               const std::optional<std::string>& TrainCode) {
    expect_directory(directory);
    std::error_code ec;
    const auto sim = find_scenario_file(directory, LineTitle, TrainCode);
    if (!fs::exists(sim, ec)) {
        throw EnvironmentError("no scenario file '" + valid_utf8(sim.string()) + "'");
    }
    auto table = decode_file(sim, CompactKind::scenario);
    if (table.locations.size() != compiler::kLocationCount) {
        throw EnvironmentError("'" + valid_utf8(sim.string()) + "' holds " +
                               std::to_string(table.locations.size()) +
                               " entries, not the 87 of a scenario file");
    }
    // The cell file shares the scenario file's name; the plan is named after the line title.
    auto cell_file = sim;
    cell_file.replace_extension(".dat");
    if (!fs::exists(cell_file, ec)) {
        throw EnvironmentError("no cell file '" + valid_utf8(cell_file.string()) + "'");
    }
    CompiledScenario compiled;
    compiled.cells = std::move(decode_file(cell_file, CompactKind::cells).cells);
    const auto& title = table.locations[compiler::entry::scenery].name;
    const auto plan_file = files::full_path(directory, files::line_binary_name(title));
    compiled.read_from = {sim, cell_file};
    // A title that cannot name a file (from a file not made by the builder) has no plan.
    if (!unsafe_name_reason(title) && fs::exists(plan_file, ec)) {
        compiled.plan = std::move(decode_file(plan_file, CompactKind::plan).plan);
        compiled.read_from.push_back(plan_file);
    }
    compiled.locations = std::move(table.locations);
    return compiled;
}

ScenarioView load_view(const fs::path& directory, const std::optional<std::string>& LineTitle,
                       const std::optional<std::string>& TrainCode) {
    auto compiled = load_compiled(directory, LineTitle, TrainCode);
    auto view = make_view(compiled.locations, compiled.cells, std::move(compiled.plan));
    view.read_from = std::move(compiled.read_from);
    return view;
}

}  // namespace scenario::tool
