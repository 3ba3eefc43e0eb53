#include "synthetic_scenario.h"

#include <cmath>
#include <utility>
#include <vector>

#include "compiler/memorizza_percorso.h"

namespace scenario::testing {

namespace {

using compiler::BuildState;
using compiler::PlanTag;
namespace kind = compiler::cell_kind;

constexpr std::int32_t kRoute = 20000;

void integrate_plan(BuildState& state) {
    const std::int32_t last = kRoute + 7000;
    state.plan.allocate(last);
    auto& x = state.plan.axis[0];
    auto& y = state.plan.axis[1];
    x.tags[0] = y.tags[0] = x.tags[1] = y.tags[1] = PlanTag::integer;
    x.values[0] = 0;
    y.values[0] = 0;
    x.values[1] = 0;
    y.values[1] = 1;
    // (start, length, curvature): left and right curves along the line.
    const std::vector<std::tuple<int, int, double>> curves{
        {1500, 900, -0.002},  {4200, 600, 0.003},  {7000, 1200, 0.001},
        {11000, 800, -0.003}, {14500, 700, 0.002}, {17500, 400, -0.001}};
    for (std::int32_t m = 2; m <= last - 2; ++m) {
        double k = 0;
        for (const auto& [start, length, curvature] : curves) {
            if (m > start && m <= start + length) {
                k = curvature;
            }
        }
        const double dx = x.values[m - 1] - x.values[m - 2];
        const double dy = y.values[m - 1] - y.values[m - 2];
        x.values[m] = x.values[m - 1] + dx + k * dy;
        y.values[m] = y.values[m - 1] + dy - k * dx;
        x.tags[m] = y.tags[m] = PlanTag::real;
    }
}

void station(BuildState& state, std::size_t index, std::int32_t position, std::uint8_t type,
             std::int32_t length, const char* name, bool stops) {
    auto& entry = state.locations[index];
    entry.kind = type;
    entry.position = position;
    entry.zoneStart = position - length / 2;
    entry.zoneEnd = position + length / 2;
    entry.name = name;
    entry.dwell = stops ? 60 : 0;
    if (stops) {
        auto& stop = state.cells[static_cast<std::size_t>(entry.zoneEnd / 50 - 1)];
        stop.kind = kind::station_stop;
        stop.ref = static_cast<std::int16_t>(index);
    }
    ++state.stationCount;
}

}  // namespace

compiler::BuildState synthetic_state(bool with_plan) {
    BuildState state;
    state.LineTitle = "LAGO & MONTE";
    state.TrainCode = "T00001";
    state.buildFlag = with_plan ? 1 : 0;
    state.locations[compiler::entry::scenery].name = state.LineTitle;
    state.locations[compiler::entry::repetition].name = state.TrainCode;
    state.locations[compiler::entry::train].zoneEnd = kRoute;
    state.locations[compiler::entry::train].position = 5;
    state.cells.resize((kRoute + 7000) / 50 + 1);
    for (std::size_t i = 0; i < state.cells.size(); ++i) {
        auto& cell = state.cells[i];
        const auto at = static_cast<std::int32_t>(i) * 50;
        cell.gradientCode = static_cast<std::uint8_t>(100 + (at < 3000    ? 0
                                                             : at < 8000  ? 12
                                                             : at < 12000 ? -8
                                                             : at < 16000 ? 18
                                                                          : -4));
        cell.speedStep = at < 6000 ? 12 : at < 15000 ? 18 : 14;
        cell.adhesion = at > 9000 && at < 11500 ? 80 : 100;
    }
    for (const auto& [start, end] : {std::pair{5000, 5600}, {9200, 10100}, {10200, 10500}}) {
        for (auto c = start / 50; c < end / 50; ++c) {
            state.cells[static_cast<std::size_t>(c)].spanKind = start == 10200 ? 3 : 1;
        }
    }
    station(state, 1, 400, 4, 800, "LAGO", true);
    station(state, 2, 6500, 11, 300, "SAN PIETRO D'ORO", true);
    station(state, 3, 12000, 27, 200, "CASELLO <12>", false);
    station(state, 4, 19000, 4, 600, "MONTE", true);
    state.cells[60].kind = kind::sign_board;
    state.cells[60].ref = 80;
    state.locations[80].name = "(PONTE SUL)(FIUME)";
    for (const auto position : {1850, 4000, 6900, 9000, 11500, 13000, 15200, 17000, 18500}) {
        auto& cell = state.cells[static_cast<std::size_t>(position / 50 + 1)];
        cell.kind = kind::signal;
        cell.ref = 40;
        cell.ref4 = 3;
    }
    // A 40 km/h slowdown over 300 m from 14000, its warning board 1200 m before it.
    state.cells[(14000 - 1200) / 50 + 1].kind = kind::slowdown_warning;
    state.cells[(14000 - 1200) / 50 + 1].ref = 40;
    state.cells[14000 / 50 + 1].kind = kind::slowdown_start;
    state.cells[14000 / 50 + 1].ref = 40;
    state.cells[14300 / 50 + 1].kind = kind::slowdown_end;
    state.cells[14300 / 50 + 1].ref = 40;
    for (const auto c : {276, 270, 263}) {
        state.cells[static_cast<std::size_t>(c)].kind = kind::code_point;
        state.cells[static_cast<std::size_t>(c)].ref = 180;
    }
    if (with_plan) {
        integrate_plan(state);
    }
    return state;
}

void write_synthetic_scenario(const std::filesystem::path& directory, bool with_plan) {
    auto state = synthetic_state(with_plan);
    const auto output = compiler::stamp_and_pack(state);
    compiler::write_compact_files(*output.files, directory, state.LineTitle, state.TrainCode);
}

}  // namespace scenario::testing
