#include "compiler/readers/field_reader.h"

#include <limits>

#include "files/windows_1252.h"

namespace scenario::compiler {

namespace {

// A string is written back with a 16-bit byte count, so no longer text can be kept.
constexpr std::size_t kLongestText = 65535;

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::string place_text(TextPlace place) {
    return "line " + std::to_string(place.line) + ", column " + std::to_string(place.column);
}

}  // namespace

FieldFailure::FieldFailure(TextPlace place, const std::string& what, Cause cause, std::string value,
                           std::string token)
    : ReadFailure(place_text(place) + ": " + what),
      place_(place),
      reason_(what),
      cause_(cause),
      value_(std::move(value)),
      token_(std::move(token)) {}

bool FieldReader::at_line_end() const {
    if (pos_ >= bytes_.size()) {
        return false;
    }
    if (bytes_[pos_] == '\n') {
        return true;
    }
    return bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n';
}

void FieldReader::consume_line_end() {
    pos_ += bytes_[pos_] == '\r' ? 2 : 1;
    ++line_;
    line_start_ = pos_;
}

void FieldReader::skip_blanks() {
    while (pos_ < bytes_.size() && is_blank(bytes_[pos_])) {
        ++pos_;
    }
}

void FieldReader::begin_record(std::string_view keyword) {
    keyword_ = keyword;
    record_line_ = field_.line;
    record_line_start_ = field_line_start_;
    missing_.clear();
}

void FieldReader::start_field(std::string_view what) {
    const bool text_over = at_end();
    skip_blanks();
    field_ = {line_, static_cast<std::int32_t>(pos_ - line_start_ + 1)};
    field_line_start_ = line_start_;
    if (record_line_ > 0 && missing_.empty() && (text_over || field_.line > record_line_)) {
        missing_ = what;
    }
    if (text_over) {
        fail("the text ends where a further field was expected", FieldFailure::Cause::cut_short,
             what);
    }
}

TextPlace FieldReader::line_end_of_record() const {
    std::size_t end = record_line_start_;
    while (end < bytes_.size() && bytes_[end] != '\n' &&
           !(bytes_[end] == '\r' && end + 1 < bytes_.size() && bytes_[end + 1] == '\n')) {
        ++end;
    }
    return {record_line_, static_cast<std::int32_t>(end - record_line_start_ + 1)};
}

void FieldReader::fail(const std::string& what, FieldFailure::Cause cause, std::string_view value,
                       std::string_view token) const {
    if (!missing_.empty()) {
        throw FieldFailure(line_end_of_record(),
                           "the line of the '" + keyword_ + "' record ends before its " + missing_,
                           FieldFailure::Cause::cut_short, missing_);
    }
    throw FieldFailure(field_, what, cause, std::string(value), std::string(token));
}

void FieldReader::note_span(std::size_t begin, std::size_t end) {
    while (end > begin && is_blank(bytes_[end - 1])) {
        --end;
    }
    span_ = {static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin), field_};
}

void FieldReader::tell_value(std::int64_t read) {
    if (observer_ != nullptr && record_ != kNoRecord) {
        observer_->value(record_, value_index_, span_, read);
    }
    ++value_index_;
}

void FieldReader::skip_to_next_line() {
    if (pos_ == line_start_) {
        return;
    }
    while (pos_ < bytes_.size() && !at_line_end()) {
        ++pos_;
    }
    if (pos_ < bytes_.size()) {
        consume_line_end();
    }
}

void FieldReader::resume_after_record() {
    if (record_line_ <= 0) {
        skip_to_next_line();
        return;
    }
    pos_ = record_line_start_;
    line_ = record_line_;
    line_start_ = record_line_start_;
    while (pos_ < bytes_.size() && !at_line_end()) {
        ++pos_;
    }
    if (pos_ < bytes_.size()) {
        consume_line_end();
    }
    record_line_ = 0;
    missing_.clear();
}

std::string FieldReader::read_keyword() {
    const auto record = record_;
    record_ = kNoRecord;
    auto text = read_text("keyword");
    record_ = record;
    return text;
}

std::string FieldReader::read_text(std::string_view what) {
    start_field(what);
    const std::size_t begin = pos_;
    // To the comma or the line end; a CR alone belongs to the field.
    pos_ = bytes_.find_first_of(",\r\n", pos_);
    while (pos_ != std::string_view::npos && bytes_[pos_] == '\r' && !at_line_end()) {
        pos_ = bytes_.find_first_of(",\r\n", pos_ + 1);
    }
    if (pos_ == std::string_view::npos) {
        pos_ = bytes_.size();
    }
    const std::size_t length = pos_ - begin;
    note_span(begin, pos_);
    if (length > kLongestText) {
        fail("a text field of " + std::to_string(length) + " bytes is longer than " +
                 std::to_string(kLongestText),
             FieldFailure::Cause::too_long, what);
    }
    tell_value(0);
    if (pos_ < bytes_.size()) {
        if (bytes_[pos_] == ',') {
            ++pos_;
        } else {
            consume_line_end();
        }
    }
    return std::string(bytes_.substr(begin, length));
}

// After a number: a comma or a line end that follows it (and its blanks) goes with it.
void FieldReader::end_number_field() {
    skip_blanks();
    if (pos_ < bytes_.size()) {
        if (bytes_[pos_] == ',') {
            ++pos_;
        } else if (at_line_end()) {
            consume_line_end();
        }
    }
}

std::int64_t FieldReader::read_number(std::int64_t lowest, std::int64_t highest,
                                      std::string_view width, std::string_view what) {
    start_field(what);
    // Blanks alone before the comma or the line end: an empty value, which stands for 0.
    if (pos_ == bytes_.size() || bytes_[pos_] == ',' || at_line_end()) {
        note_span(pos_, pos_);
        end_number_field();
        tell_value(0);
        return 0;
    }
    const std::size_t begin = pos_;
    bool negative = false;
    if (bytes_[pos_] == '-' || bytes_[pos_] == '+') {
        negative = bytes_[pos_] == '-';
        ++pos_;
    }
    // Beyond this the value fits no field; further digits only keep it out of range.
    constexpr std::int64_t kCeiling = std::int64_t{1} << 40;
    std::int64_t magnitude = 0;
    std::size_t digits = 0;
    while (pos_ < bytes_.size() && is_digit(bytes_[pos_])) {
        if (magnitude < kCeiling) {
            magnitude = magnitude * 10 + (bytes_[pos_] - '0');
        }
        ++pos_;
        ++digits;
    }
    const bool ends_here =
        pos_ == bytes_.size() || bytes_[pos_] == ',' || is_blank(bytes_[pos_]) || at_line_end();
    if (digits == 0 || !ends_here) {
        std::size_t end = begin;
        while (end < bytes_.size() && bytes_[end] != ',' && bytes_[end] != '\r' &&
               bytes_[end] != '\n' && end - begin < 20) {
            ++end;
        }
        note_span(begin, end);
        fail("\"" + std::string(bytes_.substr(begin, end - begin)) + "\" is not a number",
             FieldFailure::Cause::not_a_number, what, bytes_.substr(begin, end - begin));
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    note_span(begin, pos_);
    if (value < lowest || value > highest) {
        fail("the value " + std::string(bytes_.substr(begin, pos_ - begin)) + " does not fit a " +
                 std::string(width) + " field",
             FieldFailure::Cause::out_of_range, what, bytes_.substr(begin, pos_ - begin));
    }
    end_number_field();
    tell_value(value);
    return value;
}

std::int32_t FieldReader::read_int32(std::string_view what) {
    using L = std::numeric_limits<std::int32_t>;
    return static_cast<std::int32_t>(read_number(L::min(), L::max(), "32-bit", what));
}

std::int16_t FieldReader::read_int16(std::string_view what) {
    using L = std::numeric_limits<std::int16_t>;
    return static_cast<std::int16_t>(read_number(L::min(), L::max(), "16-bit", what));
}

std::uint8_t FieldReader::read_uint8(std::string_view what) {
    return static_cast<std::uint8_t>(read_number(0, 255, "8-bit", what));
}

KeywordField::KeywordField(std::string_view text)
    : text_(text), lower_(files::to_lower_1252(text)) {}

bool KeywordField::has(std::string_view word) const {
    return lower_.find(word) != std::string::npos;
}

bool KeywordField::has_exact(std::string_view word) const {
    return text_.find(word) != std::string::npos;
}

}  // namespace scenario::compiler
