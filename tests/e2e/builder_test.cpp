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
