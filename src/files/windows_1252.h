#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenario::files {

// Windows-1252 leaves five bytes of its 0x80-0x9F block undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D): they stand for no character. Shown to a person they read as this one, the
// replacement character; lower-casing leaves them as they are.
inline constexpr char32_t kNoCharacter = 0xFFFD;

// The Unicode character a Windows-1252 byte stands for, or kNoCharacter.
char32_t character_1252(unsigned char byte);
// The byte that stands for a character, or nothing when Windows-1252 has none for it (as for
// kNoCharacter itself).
std::optional<unsigned char> byte_1252(char32_t character);

// Lower case of one Windows-1252 byte: the byte of the small letter when the byte is a capital
// (A-Z, the accented capitals and the four capitals of the 0x80-0x9F block); every other byte is
// unchanged.
unsigned char to_lower_1252(unsigned char byte);
std::string to_lower_1252(std::string_view text);

// Windows-1252 bytes as UTF-8, for people: each byte as the character it stands for.
std::string utf8_from_1252(std::string_view text);
// UTF-8 text (a title or code typed on the command line) as Windows-1252 bytes; nothing when it
// is not UTF-8 or holds a character that Windows-1252 has not.
std::optional<std::string> utf8_to_1252(std::string_view utf8);

}  // namespace scenario::files
