#pragma once

#include <cstdint>

namespace scenario::compiler {

// A place in a scenario text: 1-based line, and 1-based column in bytes. Line 0 where no line
// applies (a fault of the whole text); column 0 where the line is known but not the column.
struct TextPlace {
    std::int32_t line = 0;
    std::int32_t column = 0;

    friend bool operator==(const TextPlace&, const TextPlace&) = default;
};

}  // namespace scenario::compiler
