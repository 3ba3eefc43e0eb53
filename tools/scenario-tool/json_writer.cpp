#include "json_writer.h"

#include <cmath>
#include <cstdio>

#include "text_encoding.h"

namespace scenario::tool {

std::string json_string(std::string_view utf8) {
    const std::string text = valid_utf8(utf8);
    std::string out = "\"";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
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
