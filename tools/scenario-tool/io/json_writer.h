#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace scenario::tool {

// A JSON string literal of UTF-8 text, quotes included; invalid UTF-8 becomes U+FFFD, and the
// control characters (C1 included) are escaped.
std::string json_string(std::string_view utf8);

// Builds one JSON value in order, with commas where they belong. Objects and arrays nest;
// keys are plain ASCII names chosen by the tool.
class JsonWriter {
  public:
    JsonWriter& begin_object();
    JsonWriter& end_object();
    JsonWriter& begin_array();
    JsonWriter& end_array();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view utf8);
    JsonWriter& value(const char* utf8) { return value(std::string_view(utf8)); }
    template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) JsonWriter& value(T number) {
        return integer(static_cast<std::int64_t>(number));
    }
    JsonWriter& integer(std::int64_t number);
    JsonWriter& value(double number);
    // The number to `decimals` places, in its shortest form ("12.5", not "12.500"): for the
    // many coordinates of a page, where the last bits of a double are only weight.
    JsonWriter& rounded(double number, int decimals);
    JsonWriter& value(bool flag);
    JsonWriter& null();
    template <class T>
    JsonWriter& value_or_null(const std::optional<T>& v) {
        return v ? value(*v) : null();
    }

    const std::string& text() const { return text_; }

  private:
    void before_value();

    std::string text_;
    bool need_comma_ = false;
};

}  // namespace scenario::tool
