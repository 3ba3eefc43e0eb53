#include "io/json.h"

#include <cmath>

#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

void append_escape(std::string& out, unsigned char code) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out.push_back(kHex[code >> 4]);
    out.push_back(kHex[code & 0xF]);
}

}  // namespace

Json json_string(std::string_view utf8) {
    return valid_utf8(utf8);
}

Json json_number(double value) {
    if (!std::isfinite(value)) {
        return nullptr;  // JSON has no infinities; a plan point is never one in practice
    }
    // Below 2^53 every whole double is an integer exactly. Negative zero stays a double: an
    // integer would lose its sign.
    constexpr double kExactIntegers = 9007199254740992.0;
    if (value == std::trunc(value) && std::fabs(value) < kExactIntegers &&
        !(value == 0 && std::signbit(value))) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

Json json_rounded(double value, int decimals) {
    if (!std::isfinite(value)) {
        return nullptr;
    }
    const double scale = std::pow(10.0, decimals);
    const double kept = std::nearbyint(value * scale) / scale;
    return json_number(kept == 0 ? 0.0 : kept);
}

Json json_or_null(const std::optional<std::string>& utf8) {
    return utf8 ? json_string(*utf8) : Json(nullptr);
}

std::string json_text(const Json& value) {
    // The strings were made valid UTF-8 on the way in; should one not be, it is replaced rather
    // than thrown over.
    const std::string dumped = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string out;
    out.reserve(dumped.size());
    for (std::size_t i = 0; i < dumped.size(); ++i) {
        const auto byte = static_cast<unsigned char>(dumped[i]);
        if (byte == '\\' && i + 1 < dumped.size()) {
            // Every backslash of the dump starts an escape. Backspace and form feed are written
            // as the other control characters are.
            const char kind = dumped[++i];
            if (kind == 'b' || kind == 'f') {
                append_escape(out, kind == 'b' ? '\b' : '\f');
            } else {
                out.push_back('\\');
                out.push_back(kind);
            }
        } else if (byte == 0x7F) {
            append_escape(out, byte);
        } else if (byte == 0xC2 && i + 1 < dumped.size() &&
                   static_cast<unsigned char>(dumped[i + 1]) <= 0x9F) {
            // The C1 controls are the two-byte sequences C2 80 to C2 9F.
            append_escape(out, static_cast<unsigned char>(dumped[++i]));
        } else {
            out.push_back(dumped[i]);
        }
    }
    return out;
}

std::optional<Json> parse_json(std::string_view text, std::size_t deepest) {
    bool too_deep = false;
    // The parser keeps its own stack of open arrays and objects, so depth costs no recursion;
    // what is past the limit is dropped as it is read, and the whole text refused.
    const Json::parser_callback_t keep = [&](int depth, Json::parse_event_t event, Json&) {
        const bool opens =
            event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
        if (opens && static_cast<std::size_t>(depth) >= deepest) {
            too_deep = true;
        }
        return !too_deep;
    };
    Json value = Json::parse(text.begin(), text.end(), keep, false);
    if (too_deep || value.is_discarded()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace scenario::tool
