// The programs as a release builds them, without the writer's test hooks: the SCENARIO_TEST_*
// variables that make a test build fail its writes change nothing there.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;

const std::string kTitle = "MORENA LAGO - PIAN DI VALSO";
const std::string kCode = "R10537";

// Every hook at once: a write fails after one byte, every rename fails, no lock can be held.
const std::vector<std::pair<std::string, std::string>> kEveryHook{
    {"SCENARIO_TEST_FAIL_AFTER_BYTES", "1"},
    {"SCENARIO_TEST_FAIL_RENAME_AT", "1"},
    {"SCENARIO_TEST_NO_LOCKS", "1"},
};

std::map<std::string, std::string> files_in(const fs::path& directory,
                                            const std::string& leave_out) {
    std::map<std::string, std::string> bytes;
    for (const auto& name : file_names(directory)) {
        if (name != leave_out) {
            bytes[name] = read_bytes(directory / name);
        }
    }
    return bytes;
}

TEST(ReleaseBuild, TheBuilderIgnoresTheTestHooksAndWritesItsFilesAsUsual) {
    const std::string release = SCENARIO_BUILDER_RELEASE_EXE;
    if (release.empty()) {
        GTEST_SKIP() << "this build has no release copy of the builder (SCENARIO_TEST_HOOKS off)";
    }
    TempDir usual;
    copy_executable(SCENARIO_BUILDER_EXE, usual.path());
    ASSERT_EQ(run_program(usual.path() / "scenario-builder", {}, usual.path()).status, 0);

    TempDir hooked;
    const auto program = copy_executable(release, hooked.path());
    ChildProcess run(program, {}, hooked.path(), kEveryHook);
    EXPECT_EQ(run.wait(), 0);
    EXPECT_EQ(files_in(hooked.path(), program.filename().string()),
              files_in(usual.path(), "scenario-builder"));
}

TEST(ReleaseBuild, TheToolCompilesWithTheTestHooksSetAsUsual) {
    const std::string release = SCENARIO_TOOL_RELEASE_EXE;
    if (release.empty()) {
        GTEST_SKIP() << "this build has no release copy of the tool (SCENARIO_TEST_HOOKS off)";
    }
    TempDir dir;
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "texts"}, dir.path()).status, 0);
    fs::create_directories(dir.path() / "usual");
    fs::create_directories(dir.path() / "hooked");
    const auto compile = [&](const std::string& out) {
        return std::vector<std::string>{"compile",
                                        "--line",
                                        "texts/" + kTitle + "_linea.txt",
                                        "--train",
                                        "texts/" + kTitle + "_" + kCode + "-.txt",
                                        "--title",
                                        kTitle,
                                        "--code",
                                        kCode,
                                        "--out",
                                        out};
    };
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, compile("usual"), dir.path()).status, 0);
    ChildProcess run(release, compile("hooked"), dir.path(), kEveryHook);
    EXPECT_EQ(run.wait(), 0);
    const auto written = files_in(dir.path() / "hooked", "");
    EXPECT_EQ(written.size(), 3u);
    EXPECT_EQ(written, files_in(dir.path() / "usual", ""));
}

}  // namespace
}  // namespace scenario::testing
