#include "io/text_encoding.h"

#include <cstdint>

#include "files/windows_1252.h"

namespace scenario::tool {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

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
        append_utf8(out, files::character_1252(static_cast<unsigned char>(ch)));
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
        const auto byte = files::byte_1252(c);
        if (!byte) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*byte));
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

std::string shown(const std::filesystem::path& path) {
    return valid_utf8(path.string());
}

std::string escape_controls(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string text = valid_utf8(utf8);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<std::uint8_t>(text[i]);
        // The C1 controls are the two-byte sequences C2 80 to C2 9F.
        const bool c1 =
            code == 0xC2 && i + 1 < text.size() && static_cast<std::uint8_t>(text[i + 1]) <= 0x9F;
        if (c1) {
            code = static_cast<std::uint8_t>(text[++i]);
        }
        if (code < 0x20 || code == 0x7F || c1) {
            out += "\\x";
            out.push_back(kHex[code >> 4]);
            out.push_back(kHex[code & 0xF]);
        } else {
            out.push_back(static_cast<char>(code));
        }
    }
    return out;
}

}  // namespace scenario::tool
