#include "lsp/text_document.h"

#include <algorithm>

#include "files/windows_1252.h"

namespace scenario::tool::lsp {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The next character of UTF-8 text; an invalid sequence is one U+FFFD per byte.
char32_t next_character(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t count = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 2;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 3;
        value = lead & 0x07;
    } else {
        ++at;
        return kReplacement;
    }
    if (at + count >= text.size()) {
        ++at;
        return kReplacement;
    }
    for (std::size_t i = 1; i <= count; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80) {
            ++at;
            return kReplacement;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    const bool overlong = (count == 2 && value < 0x800) || (count == 3 && value < 0x10000);
    if (overlong || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++at;
        return kReplacement;
    }
    at += count + 1;
    return value;
}

}  // namespace

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::int64_t units_of(char32_t c, PositionEncoding encoding) {
    if (encoding == PositionEncoding::utf16) {
        return c >= 0x10000 ? 2 : 1;
    }
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

Converted to_windows_1252(std::string_view utf8) {
    Converted out;
    out.bytes.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = next_character(utf8, at);
        // ASCII and the Latin-1 letters stand for themselves; only the rest need the table.
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.bytes += static_cast<char>(c);
        } else if (const auto byte = files::byte_1252(c)) {
            out.bytes += static_cast<char>(*byte);
        } else {
            out.foreign.push_back({static_cast<std::uint32_t>(out.bytes.size()), c});
            out.bytes += '?';
        }
    }
    return out;
}

void TextDocument::replace_all(std::string_view utf8) {
    auto converted = to_windows_1252(utf8);
    bytes_ = std::move(converted.bytes);
    foreign_ = std::move(converted.foreign);
    index_lines();
}

void TextDocument::assign_bytes(std::string bytes) {
    bytes_ = std::move(bytes);
    foreign_.clear();
    index_lines();
}

void TextDocument::replace(const Range& range, std::string_view utf8, PositionEncoding encoding) {
    std::size_t first = offset_of(range.start, encoding);
    std::size_t last = offset_of(range.end, encoding);
    if (last < first) {
        std::swap(first, last);
    }
    auto converted = to_windows_1252(utf8);
    const auto removed = last - first;
    const auto added = converted.bytes.size();
    bytes_.replace(first, removed, converted.bytes);
    // The foreign characters of the replaced range go, those after it move, the new ones come in.
    const auto from = std::lower_bound(
        foreign_.begin(), foreign_.end(), first,
        [](const ForeignCharacter& f, std::size_t offset) { return f.offset < offset; });
    auto to = std::lower_bound(
        from, foreign_.end(), last,
        [](const ForeignCharacter& f, std::size_t offset) { return f.offset < offset; });
    for (auto it = to; it != foreign_.end(); ++it) {
        it->offset = static_cast<std::uint32_t>(it->offset - removed + added);
    }
    for (auto& f : converted.foreign) {
        f.offset = static_cast<std::uint32_t>(f.offset + first);
    }
    const auto at = foreign_.erase(from, to);
    foreign_.insert(at, converted.foreign.begin(), converted.foreign.end());
    index_lines();
}

void TextDocument::index_lines() {
    starts_.assign(1, 0);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (bytes_[i] == '\n' ||
            (bytes_[i] == '\r' && (i + 1 == bytes_.size() || bytes_[i + 1] != '\n'))) {
            starts_.push_back(i + 1);
        }
    }
}

std::size_t TextDocument::line_start(std::int64_t line) const {
    if (line < 0) {
        return 0;
    }
    if (line >= line_count()) {
        return bytes_.size();
    }
    return starts_[static_cast<std::size_t>(line)];
}

std::size_t TextDocument::line_end(std::int64_t line) const {
    if (line < 0) {
        return 0;
    }
    if (line + 1 >= line_count()) {
        return bytes_.size();
    }
    // Every line after the first starts after its line break: CR LF, LF or CR.
    std::size_t end = starts_[static_cast<std::size_t>(line + 1)];
    const std::size_t start = starts_[static_cast<std::size_t>(line)];
    if (end > start && bytes_[end - 1] == '\n') {
        --end;
        if (end > start && bytes_[end - 1] == '\r') {
            --end;
        }
    } else if (end > start && bytes_[end - 1] == '\r') {
        --end;
    }
    return end;
}

std::int64_t TextDocument::line_of(std::size_t offset) const {
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
    return static_cast<std::int64_t>(it - starts_.begin()) - 1;
}

char32_t TextDocument::character_at(std::size_t offset, std::size_t& foreign_index) const {
    while (foreign_index < foreign_.size() && foreign_[foreign_index].offset < offset) {
        ++foreign_index;
    }
    if (foreign_index < foreign_.size() && foreign_[foreign_index].offset == offset) {
        return foreign_[foreign_index].character;
    }
    return files::character_1252(static_cast<unsigned char>(bytes_[offset]));
}

std::size_t TextDocument::offset_of(const Position& position, PositionEncoding encoding) const {
    if (position.line < 0) {
        return 0;
    }
    if (position.line >= line_count()) {
        return bytes_.size();
    }
    const std::size_t start = line_start(position.line);
    const std::size_t end = line_end(position.line);
    auto foreign_index = static_cast<std::size_t>(
        std::lower_bound(foreign_.begin(), foreign_.end(), start,
                         [](const ForeignCharacter& f, std::size_t o) { return f.offset < o; }) -
        foreign_.begin());
    std::int64_t units = 0;
    std::size_t at = start;
    while (at < end) {
        const auto width = units_of(character_at(at, foreign_index), encoding);
        if (units + width > position.character) {
            break;
        }
        units += width;
        ++at;
    }
    return at;
}

Position TextDocument::position_of(std::size_t offset, PositionEncoding encoding) const {
    offset = std::min(offset, bytes_.size());
    const auto line = line_of(offset);
    const std::size_t start = line_start(line);
    const std::size_t end = std::min(offset, line_end(line));
    auto foreign_index = static_cast<std::size_t>(
        std::lower_bound(foreign_.begin(), foreign_.end(), start,
                         [](const ForeignCharacter& f, std::size_t o) { return f.offset < o; }) -
        foreign_.begin());
    std::int64_t units = 0;
    for (std::size_t at = start; at < end; ++at) {
        units += units_of(character_at(at, foreign_index), encoding);
    }
    return {line, units};
}

Range TextDocument::range_of(std::size_t offset, std::size_t length,
                             PositionEncoding encoding) const {
    return {position_of(offset, encoding), position_of(offset + length, encoding)};
}

std::string TextDocument::unicode(std::size_t offset, std::size_t length) const {
    offset = std::min(offset, bytes_.size());
    length = std::min(length, bytes_.size() - offset);
    auto foreign_index = static_cast<std::size_t>(
        std::lower_bound(foreign_.begin(), foreign_.end(), offset,
                         [](const ForeignCharacter& f, std::size_t o) { return f.offset < o; }) -
        foreign_.begin());
    std::string out;
    out.reserve(length);
    for (std::size_t at = offset; at < offset + length; ++at) {
        append_utf8(out, character_at(at, foreign_index));
    }
    return out;
}

}  // namespace scenario::tool::lsp
