#include "files/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario::files {
namespace {

struct Sequence {
    std::string_view bytes;
    char32_t character;
    std::size_t length;
};

TEST(Utf8, ReadsTheShortestFormOfEachLengthUpToItsBounds) {
    for (const auto& [bytes, character, length] : std::initializer_list<Sequence>{
             {"A rest", U'A', 1},
             {"\x7F", 0x7F, 1},
             {"\xC2\x80", 0x80, 2},
             {"\xC3\x80 tail", 0xC0, 2},
             {"\xDF\xBF", 0x7FF, 2},
             {"\xE0\xA0\x80", 0x800, 3},
             {"\xE2\x82\xAC", 0x20AC, 3},
             {"\xED\x9F\xBF", 0xD7FF, 3},
             {"\xEE\x80\x80", 0xE000, 3},
             {"\xEF\xBF\xBF", 0xFFFF, 3},
             {"\xF0\x90\x80\x80", 0x10000, 4},
             {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
         }) {
        const auto sequence = decode_utf8(bytes);
        ASSERT_TRUE(sequence) << bytes;
        EXPECT_EQ(sequence->character, character) << bytes;
        EXPECT_EQ(sequence->length, length) << bytes;
    }
}

TEST(Utf8, RefusesWhatIsNoSequence) {
    EXPECT_EQ(decode_utf8(""), std::nullopt);
    for (const std::string_view bytes : {
             std::string_view("\x80"),      // a continuation byte alone
             std::string_view("\xC0\x80"),  // overlong forms, of every length
             std::string_view("\xC1\xBF"),
             std::string_view("\xE0\x9F\xBF"),
             std::string_view("\xF0\x8F\xBF\xBF"),
             std::string_view("\xED\xA0\x80"),      // a surrogate
             std::string_view("\xF4\x90\x80\x80"),  // past U+10FFFF
             std::string_view("\xF5\x80\x80\x80"),
             std::string_view("\xFF"),
             std::string_view("\xE2\x82"),      // cut short
             std::string_view("\xE2\x28\xA1"),  // a byte that continues nothing
             std::string_view("\xF0\x90\x80\x41"),
         }) {
        EXPECT_EQ(decode_utf8(bytes), std::nullopt) << bytes.size();
        EXPECT_FALSE(is_valid_utf8(bytes)) << bytes.size();
    }
}

TEST(Utf8, EveryCharacterReadsBackFromItsEncoding) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        std::string bytes;
        append_utf8(bytes, c);
        const auto sequence = decode_utf8(bytes);
        ASSERT_TRUE(sequence) << static_cast<std::uint32_t>(c);
        ASSERT_EQ(sequence->character, c);
        ASSERT_EQ(sequence->length, bytes.size());
    }
}

TEST(Utf8, WritesWhatNoReaderTakesAsTheReplacementCharacter) {
    for (const char32_t c : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
        std::string bytes;
        append_utf8(bytes, c);
        EXPECT_EQ(bytes, "\xEF\xBF\xBD") << static_cast<std::uint32_t>(c);
    }
}

TEST(Utf8, ValidTextIsValidToItsLastByte) {
    EXPECT_TRUE(is_valid_utf8(""));
    EXPECT_TRUE(is_valid_utf8("CITT\xC3\x80 \xE2\x82\xAC \xF0\x9F\x9A\x82"));
    EXPECT_FALSE(is_valid_utf8("CITT\xC3\x80 \xE2\x82"));
    EXPECT_FALSE(is_valid_utf8("CITT\xC0"));
}

}  // namespace
}  // namespace scenario::files
