#include "lsp/protocol.h"

#include <algorithm>
#include <limits>

namespace scenario::tool::lsp {

const json* member(const json& object, std::string_view name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::string> string_member(const json& object, std::string_view name) {
    const auto* value = member(object, name);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get_ref<const std::string&>();
}

std::optional<std::int64_t> integer_member(const json& object, std::string_view name) {
    const auto* value = member(object, name);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_number_integer()) {
        if (value->is_number_unsigned()) {
            const auto u = value->get<std::uint64_t>();
            return u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                       ? std::numeric_limits<std::int64_t>::max()
                       : static_cast<std::int64_t>(u);
        }
        return value->get<std::int64_t>();
    }
    return std::nullopt;
}

bool flag_member(const json& object, std::string_view name) {
    const auto* value = member(object, name);
    return value != nullptr && value->is_boolean() && value->get<bool>();
}

std::optional<Position> position_from(const json& value) {
    const auto line = integer_member(value, "line");
    const auto character = integer_member(value, "character");
    if (!line || !character || *line < 0 || *character < 0) {
        return std::nullopt;
    }
    return Position{*line, *character};
}

std::optional<Range> range_from(const json& value) {
    const auto* start = member(value, "start");
    const auto* end = member(value, "end");
    if (start == nullptr || end == nullptr) {
        return std::nullopt;
    }
    const auto a = position_from(*start);
    const auto b = position_from(*end);
    if (!a || !b) {
        return std::nullopt;
    }
    return Range{*a, *b};
}

json to_json(const Position& position) {
    return {{"line", position.line}, {"character", position.character}};
}

json to_json(const Range& range) {
    return {{"start", to_json(range.start)}, {"end", to_json(range.end)}};
}

std::size_t nesting_depth(std::string_view text) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                in_string = false;
            }
            continue;
        }
        if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

std::string serialised(const json& message) {
    return message.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace scenario::tool::lsp
