#pragma once

#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace scenario::tool {

// The tool's JSON values. Members stay in the order they are added, which is the order the
// reports and dumps have always listed them in.
using Json = nlohmann::ordered_json;

// A string from text meant as UTF-8: every invalid sequence becomes U+FFFD first, so that
// writing the value never fails.
Json json_string(std::string_view utf8);

// A number of the track plan: a whole value as an integer (0, not 0.0), any other as the
// shortest decimal that reads back as the same double; null when it is not finite.
Json json_number(double value);

// A number to `decimals` places, for the many coordinates of a page, where the last bits of a
// double are only weight: written as json_number writes it, 12.5 and not 12.500, never -0.
Json json_rounded(double value, int decimals);

// A value, or null where there is none.
template <std::integral T>
Json json_or_null(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}
Json json_or_null(const std::optional<std::string>& utf8);

// The text of a value on one line, without blanks; characters beyond ASCII stay UTF-8, every
// control character is escaped as \u00XX (\n, \r and \t as such), DEL and the C1 block too,
// since a terminal that shows the JSON would act on them.
std::string json_text(const Json& value);

// The value of a JSON text, such as a message of a client; nothing when the text is not one
// JSON value, holds invalid UTF-8 or nests arrays and objects more than `deepest` levels deep.
// Never throws.
std::optional<Json> parse_json(std::string_view text, std::size_t deepest = 64);

}  // namespace scenario::tool
