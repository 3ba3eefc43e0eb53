#include "files/shown_text.h"

#include <cstdint>

namespace scenario::files {

std::string escape_controls(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<std::uint8_t>(text[i]);
        const bool c1 = code == 0xC2 && i + 1 < text.size() &&
                        static_cast<std::uint8_t>(text[i + 1]) >= 0x80 &&
                        static_cast<std::uint8_t>(text[i + 1]) <= 0x9F;
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

}  // namespace scenario::files
