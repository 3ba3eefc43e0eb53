#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "compiler/memorizza_percorso.h"
#include "files/file_names.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"
#include "support/run_program.h"

namespace scenario::compiler {
namespace {

using scenario::testing::TempDir;

// The built-in texts, written as the program writes them and compiled with the plan.
class BuiltinScenario : public ::testing::Test {
  protected:
    BuiltinScenario() {
        const std::string title(sources::kLineTitle);
        const std::string code(sources::kTrainCode);
        sources::dati_linea(dir.path(), title);
        sources::dati_treno(dir.path(), title, code);
        state.LineTitle = title;
        state.TrainCode = code;
        result = memorizza_percorso(state, dir.path(), 1);
    }

    std::map<int, int> kinds() const {
        std::map<int, int> counts;
        for (const auto& cell : state.cells) {
            ++counts[cell.kind];
        }
        return counts;
    }

    TempDir dir;
    BuildState state;
    CompileResult result;
};

TEST_F(BuiltinScenario, CompilesWithoutAnyFault) {
    EXPECT_EQ(result.fatalError, 0);
    EXPECT_EQ(state.errorNumber, 0);
    EXPECT_EQ(state.errorPosition, 0);
    EXPECT_EQ(state.last_cell(), 2100);
    const std::string title(sources::kLineTitle);
    const std::string code(sources::kTrainCode);
    EXPECT_FALSE(
        std::filesystem::exists(files::full_path(dir.path(), files::line_text_name(title))));
    EXPECT_FALSE(
        std::filesystem::exists(files::full_path(dir.path(), files::train_text_name(title, code))));
    EXPECT_EQ(std::filesystem::file_size(
                  files::full_path(dir.path(), files::cell_file_name(title, code))),
              2101u * 15u);
    EXPECT_EQ(
        std::filesystem::file_size(files::full_path(dir.path(), files::line_binary_name(title))),
        2099964u);
}

TEST_F(BuiltinScenario, StoresTheTwentyFourStationsAndTheFiftyFourSignBoards) {
    EXPECT_EQ(state.stationCount, 24);
    EXPECT_EQ(state.locations[1].name, "MORENA LAGO");
    EXPECT_EQ(state.locations[1].position, 400);
    EXPECT_EQ(state.locations[1].timeOfDay, (6 * 60 + 37) * 60);
    EXPECT_EQ(state.locations[24].name, "PIAN DI VALSO");
    EXPECT_EQ(state.locations[24].timeOfDay, (8 * 60 + 34) * 60);
    for (const std::size_t unused : {0u, 25u, 26u}) {
        EXPECT_TRUE(state.locations[unused].name.empty()) << unused;
    }
    for (std::size_t i = 27; i <= 80; ++i) {
        EXPECT_EQ(state.locations[i].name.front(), '(') << i;
    }
    EXPECT_EQ(state.locations[entry::range_tre].zoneEnd, 98100);
}

TEST_F(BuiltinScenario, EveryObjectLandsOnACellOfItsOwn) {
    // 69 signals, 14 speed boards, 54 sign boards, 16 stops (the 8 halts passed have none),
    // the slowdown's warning, start, end and four approach cells, and the code points.
    const auto counts = kinds();
    EXPECT_EQ(counts.at(1), 69);
    EXPECT_EQ(counts.at(2), 1);
    EXPECT_EQ(counts.at(3), 1);
    EXPECT_EQ(counts.at(4), 1);
    EXPECT_EQ(counts.at(5), 4);
    EXPECT_EQ(counts.at(6), 14);
    EXPECT_EQ(counts.at(10), 16);
    EXPECT_EQ(counts.at(12), result.codePointsPlaced);
    EXPECT_EQ(counts.at(14), 54);
    for (std::size_t k = 1; k <= 24; ++k) {
        const auto& station = state.locations[k];
        if (station.kind < 25) {
            const auto& stop = state.cells[station.zoneEnd / 50 - 1];
            EXPECT_EQ(stop.kind, 10) << station.name;
            EXPECT_EQ(stop.ref, static_cast<std::int16_t>(k)) << station.name;
        }
    }
}

TEST_F(BuiltinScenario, TheFirstSignalAndTheSlowdownLandWhereTheyBelong) {
    const auto& signal = state.cells[38];
    EXPECT_EQ(signal.kind, 1);
    EXPECT_EQ(signal.ref, 40);
    EXPECT_EQ(signal.ref4, 3);
    EXPECT_EQ(signal.signalTime, 0);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(state.cells[38 - 2 * k].approachMark, 30 + k) << k;
    }

    EXPECT_EQ(state.cells[1401].kind, 4);
    EXPECT_EQ(state.cells[1401].ref, 40);
    EXPECT_EQ(state.cells[1425].kind, 3);
    EXPECT_EQ(state.cells[1425].ref, 40);
    EXPECT_EQ(state.cells[1425].ref3, 1);
    EXPECT_EQ(state.cells[1431].kind, 2);
    EXPECT_EQ(state.cells[1431].ref, 40);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(state.cells[1400 - k].kind, 5);
        EXPECT_EQ(state.cells[1400 - k].ref, k + 1);
    }
}

TEST_F(BuiltinScenario, TheSignallingPassFindsRoomAroundTheSlowdown) {
    // Before the departure signal of ROCCA ALTA (cell 1384), in the three windows before the
    // start, and before the block signal past the end (cell 1437).
    EXPECT_EQ(result.codePointsPlaced, 5);
    for (const int cell : {1383, 1407, 1414, 1420, 1436}) {
        EXPECT_EQ(state.cells[cell].kind, 12) << cell;
        EXPECT_EQ(state.cells[cell].ref, 180) << cell;
    }
    EXPECT_EQ(state.cells[1].ref, 5121);
    EXPECT_NE(state.cells[1].ref2, 0);
    EXPECT_EQ(state.cells[1].kind, 0);
}

}  // namespace
}  // namespace scenario::compiler
