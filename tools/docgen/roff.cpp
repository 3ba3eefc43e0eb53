#include "roff.h"

#include <cstdint>

#include "files/utf8.h"

namespace scenario::docgen {

namespace {

bool is_upper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool is_lower(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The code point of the UTF-8 sequence at `text[i]`, and how many bytes it takes. A byte that
// starts no valid sequence stands for itself (Latin-1), so that nothing is lost.
std::pair<std::uint32_t, std::size_t> decode(std::string_view text, std::size_t i) {
    if (const auto sequence = files::decode_utf8(text.substr(i))) {
        return {sequence->character, sequence->length};
    }
    return {static_cast<unsigned char>(text[i]), 1};
}

std::string hex(std::uint32_t code) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    for (int shift = code > 0xFFFF ? 16 : 12; shift >= 0; shift -= 4) {
        digits += kDigits[(code >> shift) & 0xF];
    }
    return digits;
}

}  // namespace

std::string escape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const auto [code, length] = decode(text, i);
            out += "\\[u" + hex(code) + "]";
            i += length;
            continue;
        }
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else if (c == '\t') {
            out += ' ';
        } else {
            out += c;
        }
        ++i;
    }
    return out;
}

std::string text_line(std::string_view text) {
    const std::string escaped = escape(text);
    if (!escaped.empty() && (escaped.front() == '.' || escaped.front() == '\'')) {
        return "\\&" + escaped;
    }
    return escaped;
}

std::string quoted_argument(std::string_view text) {
    std::string out = "\"";
    for (const char c : escape(text)) {
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    }
    return out + "\"";
}

std::string synopsis(std::string_view notation) {
    enum class Font { roman, bold, italic };
    std::string out;
    Font current = Font::roman;
    const auto switch_to = [&](Font font) {
        if (font != current) {
            out += font == Font::bold ? "\\fB" : font == Font::italic ? "\\fI" : "\\fR";
            current = font;
        }
    };
    for (std::size_t i = 0; i < notation.size();) {
        const char c = notation[i];
        // A run of capitals that touches no small letter or digit names a value: FILE, N, A..B.
        if (is_upper(c) && (i == 0 || !is_lower(notation[i - 1]))) {
            std::size_t end = i;
            while (end < notation.size() && (is_upper(notation[end]) || notation[end] == '_')) {
                ++end;
            }
            if (end == notation.size() || !is_lower(notation[end])) {
                switch_to(Font::italic);
                out += escape(notation.substr(i, end - i));
                i = end;
                continue;
            }
        }
        if (c == '.') {
            // Dots between values (A..B) and after them (NAME ...) are notation; a dot before
            // small letters belongs to a name (FILE.svg).
            std::size_t next = i;
            while (next < notation.size() && notation[next] == '.') {
                ++next;
            }
            switch_to(next < notation.size() && is_lower(notation[next]) ? Font::bold
                                                                         : Font::roman);
        } else if (c == ' ' || c == '[' || c == ']' || c == '|') {
            switch_to(Font::roman);
        } else {
            switch_to(Font::bold);
        }
        out += escape(notation.substr(i, 1));
        ++i;
    }
    switch_to(Font::roman);
    return out;
}

}  // namespace scenario::docgen
