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

// Only the first argument counts: --help and -h show the usage, --version the version, and
// anything else is wrong usage. None of them writes anything, even beside the program.
TEST(Builder, EachArgumentHasItsStatusAndStream) {
    struct Case {
        std::vector<std::string> args;
        int status;
        bool on_standard_output;
        std::string_view starts;
    };
    for (const auto& [args, status, on_standard_output, starts] : std::initializer_list<Case>{
             {{"--help"}, 0, true, "usage: scenario-builder\n"},
             {{"-h"}, 0, true, "usage: scenario-builder\n"},
             {{"--version"}, 0, true, "scenario-builder "},
             {{"--version", "--help"}, 0, true, "scenario-builder "},
             {{"--frobnicate"}, 64, false, "usage: scenario-builder\n"},
             {{"version"}, 64, false, "usage: scenario-builder\n"},
             {{"--version=1"}, 64, false, "usage: scenario-builder\n"},
             {{""}, 64, false, "usage: scenario-builder\n"},
         }) {
        TempDir dir;
        const auto program = copy_executable(SCENARIO_BUILDER_EXE, dir.path());
        const auto result = run_program(program, args, dir.path());
        EXPECT_EQ(result.status, status) << args.front();
        EXPECT_TRUE((on_standard_output ? result.out : result.err).starts_with(starts))
            << args.front();
        EXPECT_EQ(on_standard_output ? result.err : result.out, "") << args.front();
        EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"scenario-builder"})
            << args.front();
    }
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
