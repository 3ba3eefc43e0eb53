#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenario::files {

// What a reader makes of bytes that are no character.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One character read from UTF-8 bytes, and how many bytes it took.
struct Utf8Sequence {
    char32_t character = 0;
    std::size_t length = 0;
};

// The character whose UTF-8 sequence starts `bytes`; nothing when the bytes there start none:
// a stray continuation byte, a sequence cut short, an overlong form, a surrogate or a value past
// U+10FFFF. Only the shortest form of each character is read, so that one text has one reading.
std::optional<Utf8Sequence> decode_utf8(std::string_view bytes);

// Whether the bytes are UTF-8 from first to last.
bool is_valid_utf8(std::string_view bytes);

// Appends the UTF-8 sequence of a character (a surrogate or a value past U+10FFFF is written as
// U+FFFD, which is what a reader would make of it).
void append_utf8(std::string& out, char32_t character);

}  // namespace scenario::files
