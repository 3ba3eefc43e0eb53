#include "lsp/text_document.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario::tool::lsp {
namespace {

// "CAFÈ € 😀 X": È and € are Windows-1252 characters (È one UTF-8 pair, € three bytes), the
// astral character is none: two UTF-16 units, four UTF-8 bytes, one '?' in the bytes.
const std::string kAccented = "stazione, 1, CAF\xC3\x88 \xE2\x82\xAC \xF0\x9F\x98\x80 X";

TEST(TextDocument, KeepsTheEditorsTextAsTheBuildsBytes) {
    const TextDocument doc(kAccented + "\r\nsecond\n");
    EXPECT_EQ(doc.bytes(), "stazione, 1, CAF\xC8 \x80 ? X\r\nsecond\n");
    ASSERT_EQ(doc.foreign().size(), 1u);
    EXPECT_EQ(doc.foreign()[0].character, U'\U0001F600');
    EXPECT_EQ(doc.unicode(0, doc.bytes().size()), kAccented + "\r\nsecond\n");
}

TEST(TextDocument, ConvertsPositionsExactlyInBothEncodings) {
    const TextDocument doc(kAccented + "\r\nsecond");
    struct Case {
        std::size_t offset;  // in the bytes
        std::int64_t utf16;  // the character of the position on line 0
        std::int64_t utf8;
    };
    // Bytes: "stazione, 1, CAF" is 16 bytes; È at 16, ' ' 17, € 18, ' ' 19, ? 20, ' ' 21, X 22.
    const Case cases[] = {{0, 0, 0},    {16, 16, 16}, {17, 17, 18}, {18, 18, 19}, {19, 19, 22},
                          {20, 20, 23}, {21, 22, 27}, {22, 23, 28}, {23, 24, 29}};
    for (const auto& c : cases) {
        EXPECT_EQ(doc.position_of(c.offset, PositionEncoding::utf16), (Position{0, c.utf16}))
            << c.offset;
        EXPECT_EQ(doc.position_of(c.offset, PositionEncoding::utf8), (Position{0, c.utf8}))
            << c.offset;
        EXPECT_EQ(doc.offset_of({0, c.utf16}, PositionEncoding::utf16), c.offset);
        EXPECT_EQ(doc.offset_of({0, c.utf8}, PositionEncoding::utf8), c.offset);
    }
    // Inside a character: to its start; past the line's end: to the end, before its CR LF.
    EXPECT_EQ(doc.offset_of({0, 21}, PositionEncoding::utf16), 20u);
    EXPECT_EQ(doc.offset_of({0, 25}, PositionEncoding::utf8), 20u);
    EXPECT_EQ(doc.offset_of({0, 500}, PositionEncoding::utf16), 23u);
    EXPECT_EQ(doc.offset_of({1, 3}, PositionEncoding::utf16), 28u);
    EXPECT_EQ(doc.offset_of({9, 0}, PositionEncoding::utf16), doc.bytes().size());
}

TEST(TextDocument, CountsLinesAsTheProtocolDoesAndKeepsTheirEnds) {
    const TextDocument doc("a\r\nb\nc\rd");
    EXPECT_EQ(doc.line_count(), 4);
    EXPECT_EQ(doc.bytes(), "a\r\nb\nc\rd");
    const std::size_t starts[] = {0, 3, 5, 7};
    const std::size_t ends[] = {1, 4, 6, 8};
    for (std::int64_t line = 0; line < 4; ++line) {
        EXPECT_EQ(doc.line_start(line), starts[line]);
        EXPECT_EQ(doc.line_end(line), ends[line]);
        EXPECT_EQ(doc.line_of(starts[line]), line);
    }
    EXPECT_EQ(doc.position_of(2, PositionEncoding::utf16), (Position{0, 1}));  // inside CR LF
}

TEST(TextDocument, AppliesIncrementalChangesAndMovesTheForeignCharacters) {
    TextDocument doc("\xF0\x9F\x98\x80 ab\r\ncd \xF0\x9F\x98\x81");
    struct Case {
        Range range;
        const char* text;
        const char* bytes;
        std::size_t foreign;  // characters kept as foreign after the change
    };
    const Case cases[] = {
        // After the first astral character (two units): insert before "ab".
        {{{0, 3}, {0, 3}},
         "\xC3\xA0",
         "? \xE0"
         "ab\r\ncd ?",
         2},
        // Over the line end: join the lines.
        {{{0, 6}, {1, 0}},
         "",
         "? \xE0"
         "abcd ?",
         2},
        // Replace the first astral character by another foreign one and an ASCII letter.
        {{{0, 0}, {0, 2}},
         "\xE2\x84\x96z",
         "?z \xE0"
         "abcd ?",
         2},
        // Remove the last one.
        {{{0, 9}, {0, 11}},
         "",
         "?z \xE0"
         "abcd ",
         1},
    };
    for (const auto& c : cases) {
        doc.replace(c.range, c.text, PositionEncoding::utf16);
        EXPECT_EQ(doc.bytes(), c.bytes) << c.text;
        EXPECT_EQ(doc.foreign().size(), c.foreign) << c.text;
    }
    EXPECT_EQ(doc.unicode(0, doc.bytes().size()),
              "\xE2\x84\x96z \xC3\xA0"
              "abcd ");
}

}  // namespace
}  // namespace scenario::tool::lsp
