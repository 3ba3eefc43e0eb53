#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "compiler/model/read_failure.h"

namespace scenario::compiler {

// A field that could not be read: cut short by the end of the text, not a number, too wide for
// its variable, or too long to be written back. Carries the 1-based line of the failing field.
class FieldFailure : public ReadFailure {
  public:
    FieldFailure(std::int32_t line, const std::string& what);
    std::int32_t line() const { return line_; }

  private:
    std::int32_t line_;
};

// Reads a scenario text field by field, the way the line and train texts are written: fields
// end at a comma or a line end (CR LF, or a lone LF as Linux editors leave it), leading blanks
// are skipped, and a number also ends at a blank. The whole text is held in memory.
class FieldReader {
  public:
    explicit FieldReader(std::string bytes);
    // Reads the whole file; throws files::FileError when it cannot be read.
    static FieldReader open(const std::filesystem::path& file);

    // Whether every byte has been read: the test made after each keyword field.
    bool at_end() const { return pos_ == bytes_.size(); }

    // A text field: from its first non-blank byte to the comma or line end, which is consumed.
    std::string read_text();
    // Number fields: an optional sign directly before the digits; blanks alone stand for 0.
    std::int32_t read_int32();
    std::int16_t read_int16();
    std::uint8_t read_uint8();

    // The 1-based line of the field read last (or of the one whose reading failed).
    std::int32_t line() const { return field_line_; }

  private:
    bool at_line_end() const;
    void consume_line_end();
    void skip_blanks();
    void start_field();
    std::int64_t read_number(std::int64_t lowest, std::int64_t highest, std::string_view width);
    [[noreturn]] void fail(const std::string& what) const;

    std::string bytes_;
    std::size_t pos_ = 0;
    std::int32_t line_ = 1;        // line of the byte at pos_
    std::int32_t field_line_ = 0;  // line of the field read last
};

// The keyword field of a record, with the two ways it is tested: containment regardless of
// case (Windows-1252 letters), or exact containment.
class KeywordField {
  public:
    explicit KeywordField(std::string_view text);
    // `word` is given in lower case.
    bool has(std::string_view word) const;
    bool has_exact(std::string_view word) const;
    std::string_view text() const { return text_; }

  private:
    std::string text_;
    std::string lower_;
};

}  // namespace scenario::compiler
