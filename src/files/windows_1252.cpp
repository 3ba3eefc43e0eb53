#include "files/windows_1252.h"

#include <array>
#include <cstdint>

#include "files/utf8.h"

namespace scenario::files {

namespace {

// The characters of the bytes 0x80-0x9F; every other byte is the Latin-1 character of its value.
constexpr std::array<char32_t, 32> kHighBlock{
    0x20AC,       kNoCharacter, 0x201A, 0x0192,        // 80-83
    0x201E,       0x2026,       0x2020, 0x2021,        // 84-87
    0x02C6,       0x2030,       0x0160, 0x2039,        // 88-8B
    0x0152,       kNoCharacter, 0x017D, kNoCharacter,  // 8C-8F
    kNoCharacter, 0x2018,       0x2019, 0x201C,        // 90-93
    0x201D,       0x2022,       0x2013, 0x2014,        // 94-97
    0x02DC,       0x2122,       0x0161, 0x203A,        // 98-9B
    0x0153,       kNoCharacter, 0x017E, 0x0178};       // 9C-9F

constexpr std::array<char32_t, 256> kCharacter = [] {
    std::array<char32_t, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b) {
        table[b] = b >= 0x80 && b <= 0x9F ? kHighBlock[b - 0x80] : static_cast<char32_t>(b);
    }
    return table;
}();

constexpr std::optional<unsigned char> byte_of(char32_t character) {
    if (character == kNoCharacter) {
        return std::nullopt;
    }
    for (std::size_t b = 0; b < kCharacter.size(); ++b) {
        if (kCharacter[b] == character) {
            return static_cast<unsigned char>(b);
        }
    }
    return std::nullopt;
}

// The small letter of each capital that Windows-1252 holds together with its small letter.
constexpr char32_t small_letter(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    switch (c) {
        case 0x0152:  // OE ligature
        case 0x0160:  // S with caron
        case 0x017D:  // Z with caron
            return c + 1;
        case 0x0178:  // Y with diaeresis
            return 0xFF;
        default:
            return c;
    }
}

// Every keyword test of the readers lower-cases its field first: one look-up a byte.
constexpr std::array<unsigned char, 256> kLower = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b) {
        table[b] = byte_of(small_letter(kCharacter[b])).value_or(static_cast<unsigned char>(b));
    }
    return table;
}();

}  // namespace

char32_t character_1252(unsigned char byte) {
    return kCharacter[byte];
}

std::optional<unsigned char> byte_1252(char32_t character) {
    return byte_of(character);
}

std::string utf8_from_1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        append_utf8(out, character_1252(static_cast<unsigned char>(ch)));
    }
    return out;
}

std::optional<std::string> utf8_to_1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto sequence = decode_utf8(utf8);
        if (!sequence) {
            return std::nullopt;
        }
        const auto byte = byte_1252(sequence->character);
        if (!byte) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*byte));
        utf8.remove_prefix(sequence->length);
    }
    return out;
}

unsigned char to_lower_1252(unsigned char byte) {
    return kLower[byte];
}

std::string to_lower_1252(std::string_view text) {
    std::string lower(text);
    for (auto& c : lower) {
        c = static_cast<char>(kLower[static_cast<unsigned char>(c)]);
    }
    return lower;
}

}  // namespace scenario::files
