#include "compiler/readers/field_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario::compiler {
namespace {

TEST(FieldReader, TextFieldsEndAtCommasAndLineEndsAndKeepInnerBlanks) {
    FieldReader in("  lunghezza percorso,    98000\r\n[curve]\n  FINE TRATTO  \r\nlast");
    EXPECT_EQ(in.read_text(), "lunghezza percorso");
    EXPECT_EQ(in.line(), 1);
    EXPECT_EQ(in.read_text(), "98000");
    EXPECT_EQ(in.read_text(), "[curve]");
    EXPECT_EQ(in.line(), 2);
    EXPECT_EQ(in.read_text(), "FINE TRATTO  ");
    EXPECT_EQ(in.line(), 3);
    EXPECT_FALSE(in.at_end());
    EXPECT_EQ(in.read_text(), "last");
    EXPECT_EQ(in.line(), 4);
    EXPECT_TRUE(in.at_end());
}

TEST(FieldReader, TheLineEndIsConsumedSoTheLastHeaderReachesTheEnd) {
    FieldReader in("pendenza,  0,   0\r\n[fine]\r\n");
    EXPECT_EQ(in.read_text(), "pendenza");
    EXPECT_EQ(in.read_int32(), 0);
    EXPECT_EQ(in.read_int32(), 0);
    EXPECT_FALSE(in.at_end());
    EXPECT_EQ(in.read_text(), "[fine]");
    EXPECT_TRUE(in.at_end());
}

TEST(FieldReader, NumbersAlsoEndAtBlanksSoTheClockReadsAsThreeNumbers) {
    FieldReader in("orologio,    6               36            30 \r\n");
    EXPECT_EQ(in.read_text(), "orologio");
    EXPECT_EQ(in.read_int16(), 6);
    EXPECT_EQ(in.read_int16(), 36);
    EXPECT_EQ(in.read_int16(), 30);
    EXPECT_TRUE(in.at_end());
}

TEST(FieldReader, EmptyValuesAreZeroAndSignsGoDirectlyBeforeDigits) {
    FieldReader in("1100,  ,  ,  -16,+5,   \r\n-0\n7");
    EXPECT_EQ(in.read_int32(), 1100);
    EXPECT_EQ(in.read_int32(), 0);
    EXPECT_EQ(in.read_int32(), 0);
    EXPECT_EQ(in.read_int32(), -16);
    EXPECT_EQ(in.read_int32(), 5);
    EXPECT_EQ(in.read_int32(), 0);  // blanks alone before the line end
    EXPECT_EQ(in.line(), 1);
    EXPECT_EQ(in.read_int32(), 0);
    EXPECT_EQ(in.line(), 2);
    EXPECT_EQ(in.read_int32(), 7);  // the text may end without a line end
    EXPECT_TRUE(in.at_end());
}

TEST(FieldReader, FieldsThatAreNotNumbersFailWithTheirLine) {
    for (const char* field : {"abc", "-", "+", "- 5", "12abc", "1.5", "0x10", "\"7\""}) {
        const std::string text = std::string("1\r\n  ") + field + ", 3\r\n";
        FieldReader in(text);
        EXPECT_EQ(in.read_int32(), 1);
        try {
            in.read_int32();
            ADD_FAILURE() << field << " was read as a number";
        } catch (const FieldFailure& failure) {
            EXPECT_EQ(failure.line(), 2) << field;
        }
    }
}

TEST(FieldReader, ValuesOutsideTheirWidthFail) {
    struct Case {
        const char* text;
        int width;  // 8, 16 or 32
        bool fits;
    };
    const Case cases[] = {
        {"255", 8, true},
        {"256", 8, false},
        {"-1", 8, false},
        {"0", 8, true},
        {"32767", 16, true},
        {"32768", 16, false},
        {"-32768", 16, true},
        {"-32769", 16, false},
        {"2147483647", 32, true},
        {"2147483648", 32, false},
        {"-2147483648", 32, true},
        {"-2147483649", 32, false},
        {"99999999999999999999999999", 32, false},
    };
    for (const auto& c : cases) {
        const std::string text = std::string(c.text) + "\r\n";
        FieldReader in(text);
        auto read = [&] {
            switch (c.width) {
                case 8:
                    return std::int64_t{in.read_uint8()};
                case 16:
                    return std::int64_t{in.read_int16()};
                default:
                    return std::int64_t{in.read_int32()};
            }
        };
        if (c.fits) {
            EXPECT_EQ(read(), std::stoll(c.text)) << c.text;
        } else {
            EXPECT_THROW(read(), FieldFailure) << c.text << " in " << c.width << " bits";
        }
    }
}

TEST(FieldReader, ReadingPastTheEndFails) {
    FieldReader in("pendenza,  100,");
    EXPECT_EQ(in.read_text(), "pendenza");
    EXPECT_EQ(in.read_int32(), 100);
    EXPECT_TRUE(in.at_end());
    EXPECT_THROW(in.read_int32(), FieldFailure);
    EXPECT_THROW(in.read_text(), FieldFailure);
    EXPECT_THROW(FieldReader("").read_text(), FieldFailure);
}

TEST(FieldReader, TextFieldsLongerThanTheir16BitCountFail) {
    const std::string longest = std::string(65535, 'A') + ",x";
    FieldReader fits(longest);
    EXPECT_EQ(fits.read_text().size(), 65535u);
    const std::string longer = std::string(65536, 'A') + ",x";
    FieldReader too_long(longer);
    EXPECT_THROW(too_long.read_text(), FieldFailure);
}

TEST(FieldReader, LoneLineFeedsAndCrLfCountLinesAlike) {
    FieldReader in("a\nb\r\nc\n\nd");
    for (const auto& [text, line] : {std::pair{"a", 1}, {"b", 2}, {"c", 3}, {"", 4}, {"d", 5}}) {
        EXPECT_EQ(in.read_text(), text);
        EXPECT_EQ(in.line(), line);
    }
    EXPECT_TRUE(in.at_end());
}

TEST(KeywordField, TestsContainmentEitherRegardlessOfCaseOrExactly) {
    const KeywordField field("Progressiva chilometrica UNO");
    EXPECT_TRUE(field.has("progressiva"));
    EXPECT_TRUE(field.has("uno"));
    EXPECT_TRUE(field.has("chilo"));
    EXPECT_FALSE(field.has_exact("progressiva"));
    EXPECT_FALSE(field.has_exact("uno"));
    EXPECT_TRUE(field.has_exact("chilometrica"));
    // Windows-1252 capitals: "VELOCITÀ" holds "velocità".
    EXPECT_TRUE(KeywordField("VELOCIT\xC0").has("velocit\xE0"));
    EXPECT_FALSE(KeywordField("velocita").has("velocit\xE0"));
}

}  // namespace
}  // namespace scenario::compiler
