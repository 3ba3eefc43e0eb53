#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::tool::lsp {

// How the client counts the characters of a line: UTF-16 code units (the protocol's default)
// or UTF-8 bytes.
enum class PositionEncoding { utf16, utf8 };

// A place as the protocol gives it: 0-based line and character, the character counted in the
// units of the position encoding. Lines end at CR LF, LF or a lone CR, as the protocol has it.
struct Position {
    std::int64_t line = 0;
    std::int64_t character = 0;

    friend bool operator==(const Position&, const Position&) = default;
};

struct Range {
    Position start;
    Position end;
};

// A character of the editor's text that Windows-1252 cannot hold: the build reads '?' in its
// place; the editor's character is kept so that positions and edits stay exact.
struct ForeignCharacter {
    std::uint32_t offset = 0;  // of its '?' in the bytes
    char32_t character = 0;
};

// One text as the editor holds it, kept as the build reads it: Windows-1252 bytes, one byte for
// each character of the editor's text, line ends as sent. Converts exactly between the
// protocol's positions and byte offsets.
class TextDocument {
  public:
    TextDocument() = default;
    // The editor's text, UTF-8 as the protocol carries it.
    explicit TextDocument(std::string_view utf8) { replace_all(utf8); }

    void replace_all(std::string_view utf8);
    // Bytes read from a file, each already the build's: nothing is foreign.
    void assign_bytes(std::string bytes);
    // An incremental change: the range's text replaced by `utf8`. A range past the end is taken
    // to the end, as the protocol asks.
    void replace(const Range& range, std::string_view utf8, PositionEncoding encoding);

    const std::string& bytes() const { return bytes_; }
    const std::vector<ForeignCharacter>& foreign() const { return foreign_; }

    // Lines as the protocol counts them.
    std::int64_t line_count() const { return static_cast<std::int64_t>(starts_.size()); }
    std::size_t line_start(std::int64_t line) const;
    // The end of a line's text, before its line end.
    std::size_t line_end(std::int64_t line) const;
    std::int64_t line_of(std::size_t offset) const;

    // The byte offset of a protocol position: a character past the line's end is taken to the
    // end, one inside a character (half of a surrogate pair) to its start.
    std::size_t offset_of(const Position& position, PositionEncoding encoding) const;
    Position position_of(std::size_t offset, PositionEncoding encoding) const;
    Range range_of(std::size_t offset, std::size_t length, PositionEncoding encoding) const;

    // Bytes of the text as the editor shows them (UTF-8), its own characters in place of '?'.
    std::string unicode(std::size_t offset, std::size_t length) const;

  private:
    void index_lines();
    // The character the byte at an offset stands for in the editor.
    char32_t character_at(std::size_t offset, std::size_t& foreign_index) const;

    std::string bytes_;
    std::vector<ForeignCharacter> foreign_;  // by offset
    std::vector<std::size_t> starts_{0};
};

// The editor's text (UTF-8) as Windows-1252 bytes, with the characters it cannot hold.
struct Converted {
    std::string bytes;
    std::vector<ForeignCharacter> foreign;  // offsets from the start of `bytes`
};
Converted to_windows_1252(std::string_view utf8);

// The units a character takes in the encoding.
std::int64_t units_of(char32_t character, PositionEncoding encoding);

void append_utf8(std::string& out, char32_t character);

}  // namespace scenario::tool::lsp
