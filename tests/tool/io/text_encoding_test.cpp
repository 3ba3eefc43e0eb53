#include "io/text_encoding.h"

#include <gtest/gtest.h>

namespace scenario::tool {
namespace {

TEST(TextEncoding, EveryDefinedWindows1252ByteRoundTripsThroughUtf8) {
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const auto utf8 = utf8_from_1252(byte);
        if (utf8 == "\xEF\xBF\xBD") {
            EXPECT_TRUE(b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) << b;
            continue;
        }
        EXPECT_EQ(utf8_to_1252(utf8), byte) << b;
    }
}

TEST(TextEncoding, MapsTheHighBlockAndLatin1) {
    EXPECT_EQ(utf8_from_1252("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(utf8_from_1252("CITT\xC0"), "CITT\xC3\x80");
    EXPECT_EQ(utf8_to_1252("\xE2\x80\x94"), "\x97");  // em dash
}

TEST(TextEncoding, RefusesWhatWindows1252CannotHold) {
    EXPECT_EQ(utf8_to_1252("\xE2\x86\x92"), std::nullopt);  // an arrow
    EXPECT_EQ(utf8_to_1252("\xC2\x81"), std::nullopt);      // a C1 control
    EXPECT_EQ(utf8_to_1252("\xC0"), std::nullopt);          // not UTF-8
    EXPECT_EQ(utf8_to_1252("\xC0\x80"), std::nullopt);      // overlong
}

TEST(TextEncoding, ReplacesInvalidUtf8) {
    EXPECT_EQ(valid_utf8("a\xFF"
                         "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(valid_utf8("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(valid_utf8("ok \xC3\xA0"), "ok \xC3\xA0");
}

TEST(TextEncoding, ShowsControlCharactersAsEscapesAndTheRestAsItIs) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string("\x1b[1m\0\r\n\x7f", 8), "\\x1b[1m\\x00\\x0d\\x0a\\x7f"},  // C0 and DEL
        {"\xC2\x9B"
         "2J\xC2\x80",
         "\\x9b2J\\x80"},  // C1 in UTF-8
        {"\xC2\xA0\xC3\xA0\xE2\x82\xAC\xFF", "\xC2\xA0\xC3\xA0\xE2\x82\xAC\xEF\xBF\xBD"},
        {"\xC2"
         "A\xC2",
         "\xEF\xBF\xBD"
         "A\xEF\xBF\xBD"}};  // a lead byte without its second byte hides nothing after it
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(escape_controls(text), shown) << shown;
    }
}

}  // namespace
}  // namespace scenario::tool
