#include <gtest/gtest.h>

#include <fstream>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;
using sources::kLineTitle;
using sources::kTrainCode;

const std::string kTitle(kLineTitle);
const std::string kCode(kTrainCode);

std::vector<std::string> compact_names() {
    return {files::line_binary_name(kLineTitle), files::scenario_file_name(kLineTitle, kTrainCode),
            files::cell_file_name(kLineTitle, kTrainCode)};
}

RunResult compile_sources(const fs::path& dir, const std::string& out,
                          const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args{"compile",
                                  "--line",
                                  files::line_text_name(kLineTitle),
                                  "--train",
                                  files::train_text_name(kLineTitle, kTrainCode),
                                  "--title",
                                  kTitle,
                                  "--code",
                                  kCode,
                                  "--out",
                                  out};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_program(SCENARIO_TOOL_EXE, args, dir);
}

TEST(ToolSources, WritesTheBuiltInTextsByteForByte) {
    TempDir dir;
    const auto result = run_program(SCENARIO_TOOL_EXE, {"sources", "texts"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const auto texts = dir.path() / "texts";
    const std::vector<std::pair<std::string, std::span<const std::string_view>>> expected{
        {files::line_text_name(kLineTitle), sources::line_description_lines()},
        {files::train_text_name(kLineTitle, kTrainCode), sources::train_service_lines()},
        {files::notes_name(kLineTitle, kTrainCode), sources::notes_lines()},
        {files::slowdown_order_name(kLineTitle, kTrainCode), sources::slowdown_order_lines()},
        {files::train_card_name(kLineTitle, kTrainCode), sources::train_card_lines()},
    };
    EXPECT_EQ(file_names(texts).size(), expected.size());
    for (const auto& [name, lines] : expected) {
        EXPECT_EQ(read_bytes(texts / name), sources::render(sources::content_table(lines))) << name;
    }
}

TEST(ToolSources, TheDocumentsAreThoseOfTheBuilder) {
    TempDir builder_dir;
    TempDir tool_dir;
    run_program(copy_executable(SCENARIO_BUILDER_EXE, builder_dir.path()), {}, builder_dir.path());
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "."}, tool_dir.path()).status, 0);
    for (const auto& name : {files::notes_name(kLineTitle, kTrainCode),
                             files::slowdown_order_name(kLineTitle, kTrainCode),
                             files::train_card_name(kLineTitle, kTrainCode)}) {
        EXPECT_EQ(read_bytes(tool_dir.path() / name), read_bytes(builder_dir.path() / name))
            << name;
    }
}

TEST(ToolSources, NeverReplacesAnAuthorsTextUnlessForced) {
    TempDir dir;
    const auto edited = dir.path() / files::train_text_name(kLineTitle, kTrainCode);
    std::ofstream(edited, std::ios::binary) << "my edits";
    auto result = run_program(SCENARIO_TOOL_EXE, {"sources", "."}, dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("already there"), std::string::npos) << result.err;
    EXPECT_EQ(read_bytes(edited), "my edits");
    EXPECT_EQ(file_names(dir.path()).size(), 1u);

    result = run_program(SCENARIO_TOOL_EXE, {"sources", ".", "--force"}, dir.path());
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(read_bytes(edited), "my edits");
    EXPECT_EQ(file_names(dir.path()).size(), 5u);
}

// sources then compile gives what one run of the builder gives, file for file and byte for
// byte, and leaves the texts where they were.
TEST(ToolSources, CompilingTheSourcesGivesTheBuildersFiles) {
    TempDir builder_dir;
    TempDir tool_dir;
    const auto built = run_program(copy_executable(SCENARIO_BUILDER_EXE, builder_dir.path()), {},
                                   builder_dir.path());
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "."}, tool_dir.path()).status, 0);
    const auto texts_before = file_names(tool_dir.path());
    const auto line_text = read_bytes(tool_dir.path() / files::line_text_name(kLineTitle));
    const auto compiled = compile_sources(tool_dir.path(), ".");

    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(compiled.status, 0) << compiled.err;
    EXPECT_EQ(compiled.out,
              "route 98000 m, 2101 cells, 24 stations, 69 signals, 5 code points placed by the "
              "signalling pass\n");
    for (const auto& name : compact_names()) {
        ASSERT_TRUE(fs::exists(builder_dir.path() / name)) << name;
        EXPECT_EQ(read_bytes(tool_dir.path() / name), read_bytes(builder_dir.path() / name))
            << name;
    }
    EXPECT_EQ(read_bytes(tool_dir.path() / files::line_text_name(kLineTitle)), line_text);
    for (const auto& name : texts_before) {
        EXPECT_TRUE(fs::exists(tool_dir.path() / name)) << name;
    }
}

TEST(ToolSources, TheBuiltInLineIsDrawnAndItsFilesDecode) {
    TempDir dir;
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "."}, dir.path()).status, 0);
    ASSERT_EQ(compile_sources(dir.path(), ".").status, 0);
    const auto plot =
        run_program(SCENARIO_TOOL_EXE, {"plot", ".", "--out", "line.svg"}, dir.path());
    ASSERT_EQ(plot.status, 0) << plot.err;
    const auto svg = read_bytes(dir.path() / "line.svg");
    for (const auto* name : {"MORENA LAGO", "PIAN DI VALSO", "slowdown 40 km/h", "90 km"}) {
        EXPECT_NE(svg.find(name), std::string::npos) << name;
    }
    const std::vector<std::pair<std::string, std::string>> dumps{
        {files::scenario_file_name(kLineTitle, kTrainCode), "scenario file, 87 entries, "},
        {files::cell_file_name(kLineTitle, kTrainCode), "cell file, 2101 cells, 31515 bytes\n"},
        {files::line_binary_name(kLineTitle),
         "line binary file, 105001 points per axis, 2099964 bytes\n"}};
    for (const auto& [name, head] : dumps) {
        const auto dump = run_program(SCENARIO_TOOL_EXE, {"dump", name}, dir.path());
        EXPECT_EQ(dump.status, 0) << dump.err;
        EXPECT_TRUE(dump.out.starts_with(head)) << dump.out.substr(0, 100);
    }
}

TEST(ToolSources, WithoutThePlanTheLineBinaryFileIsNeitherWrittenNorRemoved) {
    TempDir dir;
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "."}, dir.path()).status, 0);
    const auto plan = dir.path() / files::line_binary_name(kLineTitle);
    std::ofstream(plan, std::ios::binary) << "earlier plan";
    EXPECT_EQ(compile_sources(dir.path(), ".", {"--no-plan"}).status, 0);
    EXPECT_EQ(read_bytes(plan), "earlier plan");
    EXPECT_TRUE(fs::exists(dir.path() / files::scenario_file_name(kLineTitle, kTrainCode)));
}

}  // namespace
}  // namespace scenario::testing
