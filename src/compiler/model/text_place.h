#pragma once

#include <cstdint>

namespace scenario::compiler {

// A place in a scenario text: 1-based line, and 1-based column in bytes. Line 0 where no line
// applies (a fault of the whole text); column 0 where the line is known but not the column.
struct TextPlace {
    std::int32_t line = 0;
    std::int32_t column = 0;

    friend bool operator==(const TextPlace&, const TextPlace&) = default;
};

// A field of a text as the field reader took it: from its first non-blank byte to its last
// byte before the comma or line end, trailing blanks left out.
struct FieldSpan {
    std::uint32_t offset = 0;  // byte offset in the text
    std::uint32_t length = 0;  // bytes
    TextPlace place;           // line and column of its first byte

    friend bool operator==(const FieldSpan&, const FieldSpan&) = default;
};

// The records of one reading, numbered from 0 in the order they were met, both texts together.
using RecordId = std::int32_t;
inline constexpr RecordId kNoRecord = -1;

}  // namespace scenario::compiler
