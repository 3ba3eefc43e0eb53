#include "files/windows_1252.h"

#include <array>
#include <cstdint>

namespace scenario::files {

namespace {

constexpr unsigned char lower_of(unsigned char byte) {
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) {
        return static_cast<unsigned char>(byte + 0x20);
    }
    switch (byte) {
        case 0x8A:  // S with caron
        case 0x8C:  // OE ligature
        case 0x8E:  // Z with caron
            return static_cast<unsigned char>(byte + 0x10);
        case 0x9F:  // Y with diaeresis
            return 0xFF;
        default:
            return byte;
    }
}

// Every keyword test of the readers lower-cases its field first: one look-up a byte.
constexpr std::array<unsigned char, 256> kLower = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = lower_of(static_cast<unsigned char>(i));
    }
    return table;
}();

}  // namespace

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

std::filesystem::path::string_type to_native(std::string_view text) {
#ifdef _WIN32
    // The 0x80-0x9F block of Windows-1252; the other bytes are their own code points.
    static constexpr std::array<char16_t, 32> kHighBlock{
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::wstring wide;
    wide.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        wide.push_back(
            static_cast<wchar_t>(byte >= 0x80 && byte <= 0x9F ? kHighBlock[byte - 0x80] : byte));
    }
    return wide;
#else
    return std::string(text);
#endif
}

}  // namespace scenario::files
