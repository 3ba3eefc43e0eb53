#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace scenario::compiler {

// Our own numbers, for texts the product's tables cannot hold: refused with a recorded fault
// rather than written past the end of the table.
inline constexpr std::int32_t kTooManySignBoards = 26;
inline constexpr std::int32_t kTooManySpans = 27;

struct ErrorMeaning {
    std::int32_t number;
    std::string_view meaning;  // one line, in English
    bool sets_position;        // whether errorPosition goes with the number
};

// Every error number the build records or shows, in ascending order.
std::span<const ErrorMeaning> error_catalogue();

// The one-line meaning of an error number, or "unknown error" for a number the build never uses.
std::string_view error_meaning(std::int32_t number);

// Whether a fault with this number comes with a position in metres.
bool error_sets_position(std::int32_t number);

}  // namespace scenario::compiler
