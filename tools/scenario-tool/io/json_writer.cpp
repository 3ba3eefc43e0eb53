#include "io/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "io/text_encoding.h"

namespace scenario::tool {

std::string json_string(std::string_view utf8) {
    const std::string text = valid_utf8(utf8);
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        const auto byte = static_cast<unsigned char>(ch);
        // A C1 control (C2 80 to C2 9F) is escaped like the others: JSON shown on a terminal
        // must not drive it either.
        if (byte == 0xC2 && i + 1 < text.size() &&
            static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x",
                          static_cast<unsigned char>(text[++i]));
            out += escaped;
            continue;
        }
        switch (ch) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out += escaped;
                } else {
                    out.push_back(ch);
                }
        }
    }
    out.push_back('"');
    return out;
}

void JsonWriter::before_value() {
    if (need_comma_) {
        text_.push_back(',');
    }
    need_comma_ = true;
}

JsonWriter& JsonWriter::begin_object() {
    before_value();
    text_.push_back('{');
    need_comma_ = false;
    return *this;
}

JsonWriter& JsonWriter::end_object() {
    text_.push_back('}');
    need_comma_ = true;
    return *this;
}

JsonWriter& JsonWriter::begin_array() {
    before_value();
    text_.push_back('[');
    need_comma_ = false;
    return *this;
}

JsonWriter& JsonWriter::end_array() {
    text_.push_back(']');
    need_comma_ = true;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    before_value();
    text_ += json_string(name);
    text_.push_back(':');
    need_comma_ = false;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view utf8) {
    before_value();
    text_ += json_string(utf8);
    return *this;
}

JsonWriter& JsonWriter::integer(std::int64_t number) {
    before_value();
    text_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(double number) {
    before_value();
    if (!std::isfinite(number)) {
        text_ += "null";  // JSON has no infinities; a plan point is never one in practice
        return *this;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", number);
    text_ += buffer;
    return *this;
}

JsonWriter& JsonWriter::rounded(double number, int decimals) {
    if (!std::isfinite(number)) {
        return null();
    }
    const double scale = std::pow(10.0, decimals);
    double kept = std::nearbyint(number * scale) / scale;
    if (kept == 0) {
        kept = 0;  // no "-0"
    }
    before_value();
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, kept);
    text_.append(buffer, written.ptr);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    before_value();
    text_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    before_value();
    text_ += "null";
    return *this;
}

}  // namespace scenario::tool
