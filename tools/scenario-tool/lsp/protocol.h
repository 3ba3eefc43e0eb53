#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/text_document.h"

namespace scenario::tool::lsp {

using json = nlohmann::json;

// The error codes of JSON-RPC and of the protocol the server answers with.
namespace error_code {
inline constexpr int parse_error = -32700;
inline constexpr int invalid_request = -32600;
inline constexpr int method_not_found = -32601;
inline constexpr int invalid_params = -32602;
inline constexpr int internal_error = -32603;
inline constexpr int server_not_initialized = -32002;
inline constexpr int request_failed = -32803;
}  // namespace error_code

// Members read without exceptions: a member of the wrong type counts as missing.
const json* member(const json& object, std::string_view name);
std::optional<std::string> string_member(const json& object, std::string_view name);
std::optional<std::int64_t> integer_member(const json& object, std::string_view name);
bool flag_member(const json& object, std::string_view name);

std::optional<Position> position_from(const json& value);
std::optional<Range> range_from(const json& value);
json to_json(const Position& position);
json to_json(const Range& range);

// The deepest nesting of arrays and objects in a message's text, counted without parsing it,
// so that a message nested too deep is refused before it is parsed.
std::size_t nesting_depth(std::string_view text);

// A message as it goes out: every string that is not UTF-8 has its bad bytes replaced, so that
// writing never fails.
std::string serialised(const json& message);

}  // namespace scenario::tool::lsp
