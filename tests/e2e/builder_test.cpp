#include <gtest/gtest.h>

#include "support/run_program.h"

namespace scenario::testing {
namespace {

TEST(Builder, HelpNamesTheFilesAndExitsCleanly) {
    TempDir dir;
    const auto result = run_program(SCENARIO_BUILDER_EXE, {"--help"}, dir.path());
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("usage: scenario-builder"), std::string::npos);
    EXPECT_TRUE(file_names(dir.path()).empty());
}

TEST(Builder, AnUnknownArgumentIsAUsageError) {
    TempDir dir;
    const auto result = run_program(SCENARIO_BUILDER_EXE, {"--frobnicate"}, dir.path());
    EXPECT_EQ(result.status, 64);
    EXPECT_NE(result.err.find("usage"), std::string::npos);
}

}  // namespace
}  // namespace scenario::testing

namespace scenario::testing {
namespace {

constexpr const char* kNotes = "MORENA LAGO - PIAN DI VALSO_R10537_note.txt";

TEST(Builder, AFileThatCannotBeCreatedIsNamedAndEndsWithTheFailureStatus) {
    TempDir dir;
    const auto exe = copy_executable(SCENARIO_BUILDER_EXE, dir.path());
    std::filesystem::create_directory(dir.path() / kNotes);
    const auto result = run_program(exe, {}, dir.path());
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("scenario-builder: cannot replace"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(kNotes), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("it is a directory"), std::string::npos) << result.err;
    // The two texts written before the failure are temporaries: they go all the same, and
    // nothing else is left but the directory in the notes' place.
    EXPECT_EQ(file_names(dir.path()), (std::vector<std::string>{kNotes, "scenario-builder"}));
}

}  // namespace
}  // namespace scenario::testing
