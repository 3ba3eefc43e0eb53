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
const std::string kCode(kTrainCode);
const std::string kLineText = "texts/" + files::line_text_name(kLineTitle);
const std::string kTrainText = "texts/" + files::train_text_name(kLineTitle, kTrainCode);
const std::string kOrder = files::slowdown_order_name(kLineTitle, kTrainCode);
const std::string kCard = files::train_card_name(kLineTitle, kTrainCode);

// The built-in texts in texts/ and an empty out/.
void prepare(const TempDir& dir) {
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE, {"sources", "texts"}, dir.path()).status, 0);
    fs::create_directory(dir.path() / "out");
}

RunResult documents(const TempDir& dir, const std::string& train = kTrainText,
                    const std::string& out = "out") {
    return run_program(SCENARIO_TOOL_EXE,
                       {"documents", "--line", kLineText, "--train", train, "--title", kTitle,
                        "--code", kCode, "--out", out, "--leave-off", "LIDO DI SERENA"},
                       dir.path());
}

void edit(const fs::path& file, const std::string& from, const std::string& to) {
    std::string text = read_bytes(file);
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    std::ofstream(file, std::ios::binary) << text;
}

TEST(ToolDocuments, TheBuiltInTextsGiveTheBuildersDocumentsByteForByte) {
    TempDir builder_dir;
    TempDir dir;
    prepare(dir);
    ASSERT_EQ(run_program(copy_executable(SCENARIO_BUILDER_EXE, builder_dir.path()), {},
                          builder_dir.path())
                  .status,
              0);
    const auto result = documents(dir);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "train card: 23 locations, 9 speed rows; slowdown order: 1 restriction\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(file_names(dir.path() / "out"), (std::vector<std::string>{kOrder, kCard}));
    for (const auto& name : {kOrder, kCard}) {
        EXPECT_EQ(read_bytes(dir.path() / "out" / name), read_bytes(builder_dir.path() / name))
            << name;
    }
}

TEST(ToolDocuments, WritesNothingForTextsItCannotPrintOrThatHaveAFault) {
    struct Case {
        const char* name;
        std::string from, to;
        int status;
        std::string says;
    };
    const std::vector<Case> cases{
        {"a name too long for the card", "SANTA GIULIA", "SANTA GIULIA DELLE SETTE FONTANE", 2,
         kTrainText + ":42: the station 'SANTA GIULIA DELLE SETTE FONTANE' at 13400 m: its name "
                      "has 32 characters, the train card's column holds 26; no document was "
                      "written\n"},
        {"a fault in the texts", "rallentamento,   71200", "rallentamento,   79600", 1,
         "no document was written\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        prepare(dir);
        std::ofstream(dir.path() / "out" / kCard, std::ios::binary) << "earlier card";
        edit(dir.path() / kTrainText, c.from, c.to);
        const auto result = documents(dir);
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(result.err.ends_with(c.says)) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(file_names(dir.path() / "out"), std::vector<std::string>{kCard});
        EXPECT_EQ(read_bytes(dir.path() / "out" / kCard), "earlier card");
    }
}

TEST(ToolDocuments, NeverWritesThroughALinkOrOverATextItReads) {
    TempDir dir;
    prepare(dir);
    std::ofstream(dir.path() / "victim", std::ios::binary) << "victim";
    fs::create_symlink(dir.path() / "victim", dir.path() / "out" / kCard);
    auto result = documents(dir);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("cannot be replaced"), std::string::npos) << result.err;
    EXPECT_EQ(read_bytes(dir.path() / "victim"), "victim");
    EXPECT_FALSE(fs::exists(dir.path() / "out" / kOrder));

    // An author who named the train text like the slowdown order, in the output directory.
    fs::copy_file(dir.path() / kTrainText, dir.path() / "texts" / kOrder,
                  fs::copy_options::overwrite_existing);
    const auto train = read_bytes(dir.path() / kTrainText);
    result = documents(dir, "texts/" + kOrder, "texts");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("is the input"), std::string::npos) << result.err;
    EXPECT_EQ(read_bytes(dir.path() / "texts" / kOrder), train);
}

TEST(ToolDocuments, RefusesAPrintedOptionThatWouldBreakTheCardsLines) {
    TempDir dir;
    prepare(dir);
    const auto result =
        run_program(SCENARIO_TOOL_EXE,
                    {"documents", "--line", kLineText, "--train", kTrainText, "--title", kTitle,
                     "--code", kCode, "--out", "out", "--category", "V140\r\nB"},
                    dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--category holds a control character"), std::string::npos)
        << result.err;
    EXPECT_TRUE(file_names(dir.path() / "out").empty());
}

TEST(ToolDocuments, IsListedInTheHelp) {
    TempDir dir;
    const auto help = run_program(SCENARIO_TOOL_EXE, {"help"}, dir.path());
    EXPECT_NE(help.out.find("  documents ..."), std::string::npos) << help.out;
    const auto own = run_program(SCENARIO_TOOL_EXE, {"documents", "--help"}, dir.path());
    EXPECT_EQ(own.status, 0);
    EXPECT_TRUE(own.out.starts_with("usage: scenario-tool documents [--line FILE]")) << own.out;
}

}  // namespace
}  // namespace scenario::testing
