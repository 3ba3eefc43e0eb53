#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "compiler/model/read_failure.h"
#include "compiler/model/reading_observer.h"
#include "compiler/model/text_place.h"

namespace scenario::compiler {

// A field that could not be read: cut short by the end of the text or of its record's line, not
// a number, too wide for its variable, or too long to be written back. Carries the place of the
// failing field (for a record cut short, the end of the record's own line).
class FieldFailure : public ReadFailure {
  public:
    // What kind of field could not be read, for the author's tools to explain it.
    enum class Cause : std::uint8_t {
        other,
        cut_short,     // the record's line (or the text) ended before the value
        not_a_number,  // the field holds something else than digits
        out_of_range,  // the number does not fit its variable
        too_long,      // a text field longer than a name can be written back
    };

    FieldFailure(TextPlace place, const std::string& what, Cause cause = Cause::other,
                 std::string value = {}, std::string token = {});
    TextPlace place() const { return place_; }
    std::int32_t line() const { return place_.line; }
    // What went wrong, without the place.
    const std::string& reason() const { return reason_; }
    Cause cause() const { return cause_; }
    // The name of the value that could not be read, and its bytes as written.
    const std::string& value() const { return value_; }
    const std::string& token() const { return token_; }

  private:
    TextPlace place_;
    std::string reason_;
    Cause cause_;
    std::string value_;
    std::string token_;
};

// Reads a scenario text field by field, the way the line and train texts are written: fields
// end at a comma or a line end (CR LF, or a lone LF as Linux editors leave it), leading blanks
// are skipped, and a number also ends at a blank. The text is not copied: it must outlive the
// reader.
class FieldReader {
  public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}
    // A temporary string would be gone before it is read.
    template <class Text>
    requires std::is_same_v<Text, std::string> FieldReader(Text&&)
    = delete;

    // Whether every byte has been read: the test made after each keyword field.
    bool at_end() const { return pos_ == bytes_.size(); }

    // Tells the observer every keyword field and every value read, for the record named by
    // values_of(). The reading itself is the same with and without one.
    void observe(ReadingObserver* observer, ErrorSource text) {
        observer_ = observer;
        text_ = text;
    }
    ReadingObserver* observer() const { return observer_; }
    // The values read from here on are those of this record, counted from 0.
    void values_of(RecordId record) {
        record_ = record;
        value_index_ = 0;
    }

    // A keyword field: a text field that is not a value of a record.
    std::string read_keyword();
    // A text field: from its first non-blank byte to the comma or line end, which is consumed.
    // `what` names the value in a failure.
    std::string read_text(std::string_view what = "text");
    // Number fields: an optional sign directly before the digits; blanks alone stand for 0.
    std::int32_t read_int32(std::string_view what = "value");
    std::int16_t read_int16(std::string_view what = "value");
    std::uint8_t read_uint8(std::string_view what = "value");

    // The keyword field read last starts a record. A value of the record that has to be taken
    // from a later line was missing from the record's own line: when the record then fails, the
    // failure is placed at the end of that line and names the first value that was missing.
    void begin_record(std::string_view keyword);

    // Where the field read last (or the one whose reading failed) starts: 1-based line, and
    // 1-based column in bytes of its first non-blank byte.
    TextPlace place() const { return field_; }
    std::int32_t line() const { return field_.line; }
    // The field read last, with its offset and length in the text.
    const FieldSpan& span() const { return span_; }
    // The line the next field would be read from.
    std::int32_t current_line() const { return line_; }
    std::string_view bytes() const { return bytes_; }

    // Check mode goes on after a fault at the start of the next line: the rest of this one is
    // passed over. Nothing when the reader already stands at the start of a line.
    void skip_to_next_line();
    // After a record that could not be read: on at the line after the record's own line (a
    // record cut short by its line end has taken fields from the lines after it).
    void resume_after_record();

  private:
    bool at_line_end() const;
    void consume_line_end();
    void skip_blanks();
    void start_field(std::string_view what);
    void end_number_field();
    std::int64_t read_number(std::int64_t lowest, std::int64_t highest, std::string_view width,
                             std::string_view what);
    TextPlace line_end_of_record() const;
    [[noreturn]] void fail(const std::string& what, FieldFailure::Cause cause,
                           std::string_view value, std::string_view token = {}) const;
    void note_span(std::size_t begin, std::size_t end);
    void tell_value(std::int64_t read);

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::int32_t line_ = 1;             // line of the byte at pos_
    std::size_t line_start_ = 0;        // offset of the first byte of that line
    TextPlace field_;                   // the field read last
    std::size_t field_line_start_ = 0;  // offset where the line of that field starts
    // The record being read: its keyword, line and the offset where that line starts, and the
    // first of its values that was not on that line (empty while all were).
    std::string keyword_;
    std::int32_t record_line_ = 0;
    std::size_t record_line_start_ = 0;
    std::string missing_;
    FieldSpan span_;
    ReadingObserver* observer_ = nullptr;
    ErrorSource text_ = ErrorSource::none;
    RecordId record_ = kNoRecord;
    std::size_t value_index_ = 0;
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
