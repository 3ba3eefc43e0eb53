#include "lsp/text_names.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/run_program.h"

namespace scenario::tool::lsp {
namespace {

TEST(TextNames, TheBuildersNamesGiveKindTitleAndCode) {
    struct Case {
        const char* file;
        TextKind kind;
        const char* title;
        const char* code;
    };
    const Case cases[] = {
        {"MORENA LAGO - PIAN DI VALSO_linea.txt", TextKind::line, "MORENA LAGO - PIAN DI VALSO",
         ""},
        {"MORENA LAGO - PIAN DI VALSO_R10537-.txt", TextKind::train, "MORENA LAGO - PIAN DI VALSO",
         "R10537"},
        {"VAL_DI_SOTTO_R1-.txt", TextKind::train, "VAL_DI_SOTTO", "R1"},
        {"R1-.txt", TextKind::train, "", ""},
        {"_linea.txt", TextKind::other, "", ""},
        {"scenario.ini", TextKind::project, "", ""},
        {"notes.txt", TextKind::other, "", ""},
    };
    for (const auto& c : cases) {
        const auto name = text_name(c.file);
        EXPECT_EQ(name.kind, c.kind) << c.file;
        EXPECT_EQ(name.title, c.title) << c.file;
        EXPECT_EQ(name.code, c.code) << c.file;
    }
    EXPECT_EQ(text_kind("Untitled-1", "scenario-train"), TextKind::train);
    EXPECT_EQ(text_kind("A_linea.txt", "scenario-train"), TextKind::line);
}

TEST(TextNames, FileUrisTurnIntoPathsAndBack) {
    struct Case {
        const char* uri;
        const char* path;  // generic form; empty for none
    };
    const Case cases[] = {
        {"file:///tmp/MORENA%20LAGO_linea.txt", "/tmp/MORENA LAGO_linea.txt"},
        {"file:///home/a/CA%27%20D%C3%88I_linea.txt", "/home/a/CA' D\xC3\x88I_linea.txt"},
        {"FILE:///x/y", "/x/y"},
        {"file://localhost/x/y", "/x/y"},
        {"untitled:Untitled-1", ""},
        {"file:///x/%zz", ""},
        {"file:///x/%00", ""},
        {"file:", ""},
    };
    for (const auto& c : cases) {
        const auto path = path_of_uri(c.uri);
        if (*c.path == 0) {
            EXPECT_FALSE(path) << c.uri;
            continue;
        }
        ASSERT_TRUE(path) << c.uri;
        const auto text = path->generic_u8string();
        EXPECT_EQ(std::string(text.begin(), text.end()), c.path) << c.uri;
        EXPECT_EQ(path_of_uri(uri_of_path(*path)), path) << c.uri;
    }
    EXPECT_EQ(uri_file_name("file:///a/b/MORENA%20LAGO_linea.txt"), "MORENA LAGO_linea.txt");
}

TEST(TextNames, ALineTextFindsTheTrainTextsOfItsTitleInItsFolder) {
    testing::TempDir dir;
    for (const char* name : {"T_linea.txt", "T_R1-.txt", "T_R2-.txt", "U_R3-.txt", "T_X_R4-.txt"}) {
        std::ofstream(dir.path() / name) << "[generale]\r\n";
    }
    const auto line = dir.path() / "T_linea.txt";
    const auto trains = partners_on_disk(line, text_name("T_linea.txt"));
    ASSERT_EQ(trains.size(), 2u);
    EXPECT_EQ(trains[0].filename(), "T_R1-.txt");
    EXPECT_EQ(trains[1].filename(), "T_R2-.txt");
    const auto lines = partners_on_disk(dir.path() / "T_R2-.txt", text_name("T_R2-.txt"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], line);
    EXPECT_TRUE(partners_on_disk(dir.path() / "U_R3-.txt", text_name("U_R3-.txt")).empty());
}

}  // namespace
}  // namespace scenario::tool::lsp
