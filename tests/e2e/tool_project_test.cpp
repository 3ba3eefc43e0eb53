// The commands run with no arguments in a folder whose scenario.ini names the texts, or whose
// texts pair by the builder's names; an option given wins over the project.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/file_names.h"
#include "sources/scenario_names.h"
#include "support/run_program.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;
using sources::kLineTitle;
using sources::kTrainCode;

const std::string kTitle(kLineTitle);

// The built-in texts under an author's names in work/, with the project of the brief's form.
void prepare(const TempDir& dir) {
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "builtin"}, dir.path()).status, 0);
    const auto work = dir.path() / "work";
    fs::create_directories(work / "build");
    fs::copy_file(dir.path() / "builtin" / files::line_text_name(kLineTitle),
                  work / "Val di Lago - linea.txt");
    fs::copy_file(dir.path() / "builtin" / files::train_text_name(kLineTitle, kTrainCode),
                  work / "Val di Lago - R10537.txt");
    std::ofstream(work / "scenario.ini", std::ios::binary)
        << "# scenario-tool project: the texts of one scenario\n"
           "line  = Val di Lago - linea.txt\n"
           "train = Val di Lago - R10537.txt\n"
           "title = "
        << kTitle
        << "\ncode  = R10537\n"
           "out   = build\n"
           "[run]\n"
           "max-acceleration = 0.5\n";
    fs::create_directory(dir.path() / "bad");
    std::ofstream(dir.path() / "bad" / "scenario.ini", std::ios::binary)
        << "line = a.txt\ntrain = b.txt\ncolour = red\n";
}

TEST(ToolProject, CommandsTakeWhatTheProjectOfTheirFolderGives) {
    TempDir dir;
    prepare(dir);
    const auto build = dir.path() / "work" / "build";
    const struct {
        std::vector<std::string> args;
        std::string folder;
        int status;
        std::string said;  // on standard error
        fs::path written;  // from the folder
    } cases[] = {
        {{"check"}, "work", 0, "", {}},
        {{"compile", "--no-plan"},
         "work",
         0,
         "",
         "build/" + files::cell_file_name(kLineTitle, "R10537")},
        {{"documents", "--leave-off", "LIDO DI SERENA"},
         "work",
         0,
         "",
         "build/" + files::train_card_name(kLineTitle, "R10537")},
        // Its paths are taken from its own folder.
        {{"check", "--project", "work/scenario.ini"}, ".", 0, "", {}},
        // An option given wins over the project.
        {{"compile", "--code", "R1", "--out", "."},
         "work",
         0,
         "",
         files::scenario_file_name(kLineTitle, "R1")},
        {{"check", "--line", "absent.txt"}, "work", 2, "'absent.txt' does not exist", {}},
        // Neither a project nor a pair by the builder's names.
        {{"check"},
         ".",
         2,
         "missing --line and --train: give them, or write 'line = FILE' and "
         "'train = FILE' in a scenario.ini in this folder",
         {}},
        {{"check"}, "bad", 2, "scenario.ini:3:1: unknown key 'colour'", {}},
    };
    for (const auto& c : cases) {
        const auto result = run_program(SCENARIO_TOOL_EXE, c.args, dir.path() / c.folder);
        const auto what = c.args.front() + " " + c.args.back();
        EXPECT_EQ(result.status, c.status) << what << "\n" << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << what << "\n" << result.err;
        if (c.said.empty()) {
            EXPECT_EQ(result.err, "") << what;
        }
        if (!c.written.empty()) {
            EXPECT_TRUE(fs::exists(dir.path() / c.folder / c.written)) << what;
        }
    }
    EXPECT_EQ(read_bytes(build / files::train_card_name(kLineTitle, "R10537")),
              read_bytes(dir.path() / "builtin" / files::train_card_name(kLineTitle, kTrainCode)));
}

// The texts of sources pair by the builder's names: check needs nothing, compile the output.
TEST(ToolProject, TheTextsOfSourcesPairByTheirNames) {
    TempDir dir;
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "."}, dir.path()).status, 0);
    auto result = run_program(SCENARIO_TOOL_EXE, {"check"}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    result = run_program(SCENARIO_TOOL_EXE, {"compile"}, dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("missing --out: give it, or write 'out = DIR' in a scenario.ini"),
              std::string::npos)
        << result.err;
    // The title of the names goes only with the line text it is read from.
    result = run_program(SCENARIO_TOOL_EXE,
                         {"compile", "--out", ".", "--line", files::line_text_name(kLineTitle)},
                         dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("missing --title: "), std::string::npos) << result.err;
    result = run_program(SCENARIO_TOOL_EXE, {"compile", "--out", "."}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(dir.path() / files::scenario_file_name(kLineTitle, kTrainCode)));
}

}  // namespace
}  // namespace scenario::testing
