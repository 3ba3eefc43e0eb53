#include <gtest/gtest.h>

#include "support/run_program.h"

namespace scenario::testing {
namespace {

// Both programs name themselves and the project's version, on standard output, and do nothing
// else: no scenario is written.
TEST(ProgramVersion, BothProgramsPrintTheirNameAndTheProjectVersion) {
    struct Program {
        const char* path;
        std::string name;
    };
    for (const auto& [path, name] : {Program{SCENARIO_BUILDER_EXE, "scenario-builder"},
                                     Program{SCENARIO_TOOL_EXE, "scenario-tool"}}) {
        TempDir dir;
        const auto program = copy_executable(path, dir.path());
        const auto result = run_program(program, {"--version"}, dir.path());
        EXPECT_EQ(result.status, 0) << name;
        EXPECT_EQ(result.out, name + " " + SCENARIO_VERSION + "\n");
        EXPECT_EQ(result.err, "") << name;
        EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{program.filename().string()})
            << name;
    }
}

}  // namespace
}  // namespace scenario::testing
