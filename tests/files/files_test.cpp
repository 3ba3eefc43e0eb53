#include <gtest/gtest.h>

#include <array>
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

TEST(Windows1252, LowerCaseOfEveryByteIsTheCapitalsPartnerOrTheByteItself) {
    // The capitals and their small letters; every other byte, the five that stand for no
    // character among them, is its own lower case.
    std::array<unsigned char, 256> expected{};
    for (int b = 0; b < 256; ++b) {
        const bool capital = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7);
        expected[static_cast<std::size_t>(b)] = static_cast<unsigned char>(capital ? b + 0x20 : b);
    }
    expected[0x8A] = 0x9A;  // S with caron
    expected[0x8C] = 0x9C;  // OE ligature
    expected[0x8E] = 0x9E;  // Z with caron
    expected[0x9F] = 0xFF;  // Y with diaeresis
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(to_lower_1252(static_cast<unsigned char>(b)),
                  expected[static_cast<std::size_t>(b)])
            << b;
    }
}

TEST(Windows1252, EveryByteButTheFiveUndefinedStandsForACharacterThatLeadsBackToIt) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        const char32_t character = character_1252(byte);
        EXPECT_EQ(character == kNoCharacter, undefined) << b;
        if (!undefined) {
            EXPECT_EQ(byte_1252(character), byte) << b;
        }
    }
    EXPECT_EQ(byte_1252(kNoCharacter), std::nullopt);
}

TEST(Windows1252, TheHighBlockHoldsItsOwnCharactersNotTheC1Controls) {
    // The C1 controls, whose values the 0x80-0x9F block reuses for other characters, among them.
    for (char32_t c = 0x80; c <= 0x9F; ++c) {
        EXPECT_EQ(byte_1252(c), std::nullopt) << static_cast<std::uint32_t>(c);
    }
    for (const char32_t c : {0x0100, 0x2192, 0x1F600}) {
        EXPECT_EQ(byte_1252(c), std::nullopt) << static_cast<std::uint32_t>(c);
    }
    struct Case {
        char32_t character;
        unsigned char byte;
    };
    for (const auto& [character, byte] :
         {Case{0x20AC, 0x80}, Case{0x0178, 0x9F}, Case{0x00A0, 0xA0}, Case{0x00FF, 0xFF}}) {
        EXPECT_EQ(character_1252(byte), character) << static_cast<int>(byte);
    }
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

TEST(DeviceNames, WindowsDeviceNamesAreKnownInAnyCaseAndWithAnyExtension) {
    const struct {
        const char* name;
        bool device;
    } cases[] = {
        {"CON", true},          {"con", true},    {"Nul.txt", true},  {"aux.sim.dat", true},
        {"PRN .txt", true},     {"COM1", true},   {"lpt9.svg", true}, {"COM\xB9", true},
        {"COM0", false},        {"COM10", false}, {"CONSOLE", false}, {"NUL_linea.dat", false},
        {"MORENA LAGO", false}, {"xcon", false},  {"LPT", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(is_device_name(c.name), c.device) << c.name;
        const auto reason = unusable_output_reason(std::filesystem::path("/tmp") / c.name);
        EXPECT_EQ(reason.has_value() && reason->find("device") != std::string::npos, c.device)
            << c.name;
    }
}

}  // namespace
}  // namespace scenario::files
