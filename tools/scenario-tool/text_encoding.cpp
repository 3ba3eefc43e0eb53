#include "text_encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace scenario::tool {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code points of the bytes 0x80..0x9F; the other bytes are their Latin-1 code points.
constexpr std::array<char32_t, 32> kHighBlock{
    0x20AC,       kReplacement, 0x201A, 0x0192,
    0x201E,       0x2026,       0x2020, 0x2021,  // 80-87
    0x02C6,       0x2030,       0x0160, 0x2039,
    0x0152,       kReplacement, 0x017D, kReplacement,  // 88-8F
    kReplacement, 0x2018,       0x2019, 0x201C,
    0x201D,       0x2022,       0x2013, 0x2014,  // 90-97
    0x02DC,       0x2122,       0x0161, 0x203A,
    0x0153,       kReplacement, 0x017E, 0x0178};  // 98-9F

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Length of the valid UTF-8 sequence at the start of `text`, or 0 when it is not one.
std::size_t valid_sequence_length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return overlong || surrogate || c > 0x10FFFF ? 0 : length;
}

}  // namespace

std::string utf8_from_1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto byte = static_cast<std::uint8_t>(ch);
        if (byte >= 0x80 && byte <= 0x9F) {
            append_utf8(out, kHighBlock[byte - 0x80]);
        } else {
            append_utf8(out, byte);
        }
    }
    return out;
}

std::optional<std::string> utf8_to_1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto length = valid_sequence_length(utf8);
        if (length == 0) {
            return std::nullopt;
        }
        char32_t c = length == 1 ? static_cast<std::uint8_t>(utf8[0])
                                 : static_cast<std::uint8_t>(utf8[0]) & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            c = (c << 6) | (static_cast<std::uint8_t>(utf8[i]) & 0x3F);
        }
        utf8.remove_prefix(length);
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const auto* found = std::find(kHighBlock.begin(), kHighBlock.end(), c);
        if (c == kReplacement || found == kHighBlock.end()) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(0x80 + (found - kHighBlock.begin())));
    }
    return out;
}

std::string valid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto length = valid_sequence_length(text);
        if (length == 0) {
            append_utf8(out, kReplacement);
            text.remove_prefix(1);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return out;
}

}  // namespace scenario::tool
