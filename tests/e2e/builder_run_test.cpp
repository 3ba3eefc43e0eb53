#include <gtest/gtest.h>

#include <fstream>

#include "support/run_program.h"

namespace scenario::testing {
namespace {

const std::string kTitle = "MORENA LAGO - PIAN DI VALSO";
const std::string kCode = "R10537";

std::vector<std::string> expected_outputs() {
    std::vector<std::string> names{kTitle + "_" + kCode + ".dat",
                                   kTitle + "_" + kCode + ".sim",
                                   kTitle + "_" + kCode + "_note.txt",
                                   kTitle + "_" + kCode + "_rallentamenti.txt",
                                   kTitle + "_" + kCode + "_scheda_treno.txt",
                                   kTitle + "_linea.dat",
                                   "scenario-builder"};
    std::sort(names.begin(), names.end());
    return names;
}

TEST(BuilderRun, AWindowlessRunLeavesExactlyTheSixOutputsAndSaysNothing) {
    TempDir dir;
    const auto exe = copy_executable(SCENARIO_BUILDER_EXE, dir.path());
    const auto result = run_program(exe, {}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(file_names(dir.path()), expected_outputs());

    const auto cells = read_bytes(dir.path() / (kTitle + "_" + kCode + ".dat"));
    EXPECT_EQ(cells.size(), 2101u * 15u);
    EXPECT_EQ(cells.substr(16, 2), std::string("\x01\x14", 2));
    EXPECT_EQ(std::filesystem::file_size(dir.path() / (kTitle + "_linea.dat")), 2u * 1049982u);
}

TEST(BuilderRun, ARunOverAnEarlierRunsLongerFilesLeavesExactlyTheNewContent) {
    TempDir first;
    run_program(copy_executable(SCENARIO_BUILDER_EXE, first.path()), {}, first.path());

    TempDir second;
    const auto exe = copy_executable(SCENARIO_BUILDER_EXE, second.path());
    for (const auto& name : expected_outputs()) {
        if (name != "scenario-builder") {
            std::ofstream(second.path() / name, std::ios::binary) << std::string(3000000, 'x');
        }
    }
    // Leftover temporaries of an interrupted run are replaced and removed too.
    std::ofstream(second.path() / (kTitle + "_linea.txt"), std::ios::binary) << "old";
    std::ofstream(second.path() / (kTitle + "_" + kCode + "-.txt"), std::ios::binary) << "old";
    ASSERT_EQ(run_program(exe, {}, second.path()).status, 0);
    EXPECT_EQ(file_names(second.path()), expected_outputs());
    for (const auto& name : expected_outputs()) {
        if (name != "scenario-builder") {
            EXPECT_EQ(read_bytes(second.path() / name), read_bytes(first.path() / name)) << name;
        }
    }
}

TEST(BuilderRun, TwoRunsWriteIdenticalBytes) {
    TempDir a;
    TempDir b;
    run_program(copy_executable(SCENARIO_BUILDER_EXE, a.path()), {}, a.path());
    run_program(copy_executable(SCENARIO_BUILDER_EXE, b.path()), {}, b.path());
    for (const auto& name : expected_outputs()) {
        EXPECT_EQ(read_bytes(a.path() / name), read_bytes(b.path() / name)) << name;
    }
}

}  // namespace
}  // namespace scenario::testing
