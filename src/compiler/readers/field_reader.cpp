#include "compiler/readers/field_reader.h"

#include <limits>
#include <utility>

#include "files/replace_file.h"
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

}  // namespace

FieldFailure::FieldFailure(std::int32_t line, const std::string& what)
    : ReadFailure("line " + std::to_string(line) + ": " + what), line_(line) {}

FieldReader::FieldReader(std::string bytes) : bytes_(std::move(bytes)) {}

FieldReader FieldReader::open(const std::filesystem::path& file) {
    return FieldReader(files::read_file(file));
}

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
}

void FieldReader::skip_blanks() {
    while (pos_ < bytes_.size() && is_blank(bytes_[pos_])) {
        ++pos_;
    }
}

void FieldReader::start_field() {
    field_line_ = line_;
    if (at_end()) {
        fail("the text ends where a further field was expected");
    }
    skip_blanks();
}

void FieldReader::fail(const std::string& what) const {
    throw FieldFailure(field_line_, what);
}

std::string FieldReader::read_text() {
    start_field();
    const std::size_t begin = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !at_line_end()) {
        ++pos_;
    }
    const std::size_t length = pos_ - begin;
    if (length > kLongestText) {
        fail("a text field of " + std::to_string(length) + " bytes is longer than " +
             std::to_string(kLongestText));
    }
    if (pos_ < bytes_.size()) {
        if (bytes_[pos_] == ',') {
            ++pos_;
        } else {
            consume_line_end();
        }
    }
    return bytes_.substr(begin, length);
}

std::int64_t FieldReader::read_number(std::int64_t lowest, std::int64_t highest,
                                      std::string_view width) {
    start_field();
    // Blanks alone before the comma or the line end: an empty value, which stands for 0.
    if (pos_ == bytes_.size() || bytes_[pos_] == ',' || at_line_end()) {
        if (pos_ < bytes_.size()) {
            if (bytes_[pos_] == ',') {
                ++pos_;
            } else {
                consume_line_end();
            }
        }
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
        fail("\"" + bytes_.substr(begin, end - begin) + "\" is not a number");
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < lowest || value > highest) {
        fail("the value " + bytes_.substr(begin, pos_ - begin) + " does not fit a " +
             std::string(width) + " field");
    }
    skip_blanks();
    if (pos_ < bytes_.size()) {
        if (bytes_[pos_] == ',') {
            ++pos_;
        } else if (at_line_end()) {
            consume_line_end();
        }
    }
    return value;
}

std::int32_t FieldReader::read_int32() {
    using L = std::numeric_limits<std::int32_t>;
    return static_cast<std::int32_t>(read_number(L::min(), L::max(), "32-bit"));
}

std::int16_t FieldReader::read_int16() {
    using L = std::numeric_limits<std::int16_t>;
    return static_cast<std::int16_t>(read_number(L::min(), L::max(), "16-bit"));
}

std::uint8_t FieldReader::read_uint8() {
    return static_cast<std::uint8_t>(read_number(0, 255, "8-bit"));
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
