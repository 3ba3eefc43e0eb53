#include "io/text_encoding.h"

#include <cstdint>

#include "files/utf8.h"

namespace scenario::tool {

std::string valid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        // A byte that starts no sequence is one replacement character: nothing else is lost.
        const auto sequence = files::decode_utf8(text);
        const std::size_t length = sequence ? sequence->length : 1;
        if (sequence) {
            out.append(text.substr(0, length));
        } else {
            files::append_utf8(out, files::kReplacementCharacter);
        }
        text.remove_prefix(length);
    }
    return out;
}

std::string shown(const std::filesystem::path& path) {
    const auto utf8 = path.u8string();  // UTF-8 from Windows' UTF-16, the bytes elsewhere
    return valid_utf8(std::string(utf8.begin(), utf8.end()));
}

std::filesystem::path path_argument(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
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
