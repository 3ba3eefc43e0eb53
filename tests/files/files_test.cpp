#include <gtest/gtest.h>

#include <fstream>

#include "files/file_names.h"
#include "files/replace_file.h"
#include "files/windows_1252.h"
#include "support/run_program.h"

namespace scenario::files {
namespace {

TEST(FileNames, EveryFileOfTheScenarioIsNamedFromTitleAndCode) {
    const std::string_view t = "A - B";
    const std::string_view c = "R12345";
    EXPECT_EQ(line_text_name(t), "A - B_linea.txt");
    EXPECT_EQ(train_text_name(t, c), "A - B_R12345-.txt");
    EXPECT_EQ(notes_name(t, c), "A - B_R12345_note.txt");
    EXPECT_EQ(slowdown_order_name(t, c), "A - B_R12345_rallentamenti.txt");
    EXPECT_EQ(train_card_name(t, c), "A - B_R12345_scheda_treno.txt");
    EXPECT_EQ(line_binary_name(t), "A - B_linea.dat");
    EXPECT_EQ(scenario_file_name(t, c), "A - B_R12345.sim");
    EXPECT_EQ(cell_file_name(t, c), "A - B_R12345.dat");
}

TEST(FileNames, TheSeparatorIsAlwaysAdded) {
    const std::string sep(1, kSeparator);
    EXPECT_EQ(full_path("dir", "x.txt").string(), "dir" + sep + "x.txt");
    // A directory that already ends with a separator gets a second one.
    EXPECT_EQ(full_path("dir" + sep, "x.txt").string(), "dir" + sep + sep + "x.txt");
}

TEST(Windows1252, LowerCaseFollowsTheCodePage) {
    EXPECT_EQ(to_lower_1252("MORENA Lago - 1"), "morena lago - 1");
    EXPECT_EQ(to_lower_1252("\xC0\xC8\xC9\xD7\xDE\xDF\x8A\x9F"),
              "\xE0\xE8\xE9\xD7\xFE\xDF\x9A\xFF");
}

TEST(ReplaceFile, ALongerEarlierFileEndsUpExactlyTheNewContent) {
    scenario::testing::TempDir dir;
    const auto file = dir.path() / "out.txt";
    { std::ofstream(file, std::ios::binary) << std::string(5000, 'x'); }
    replace_file(file, std::string_view("short\r\n"));
    EXPECT_EQ(scenario::testing::read_bytes(file), "short\r\n");
    replace_file(file, std::string_view(""));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST(ReplaceFile, AMissingDirectoryIsAFileErrorNamingTheFile) {
    scenario::testing::TempDir dir;
    const auto file = dir.path() / "missing" / "out.dat";
    try {
        replace_file(file, std::string_view("x"));
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.file(), file);
        EXPECT_NE(std::string(e.what()).find("out.dat"), std::string::npos);
    }
}

TEST(ReadAndDelete, MissingFilesAreHandled) {
    scenario::testing::TempDir dir;
    EXPECT_THROW(read_file(dir.path() / "none"), FileError);
    EXPECT_NO_THROW(delete_file(dir.path() / "none"));
    replace_file(dir.path() / "f", std::string_view("abc"));
    EXPECT_EQ(read_file(dir.path() / "f"), "abc");
    delete_file(dir.path() / "f");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "f"));
}

}  // namespace
}  // namespace scenario::files
