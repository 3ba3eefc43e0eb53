#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenario::tool {

// Why a line title or train code cannot name the scenario's files, or nothing when it can.
// Refused: an empty text, a path separator, "..", control characters, the characters Windows
// does not allow in a file name (< > : " | ? *), a trailing blank or full stop (Windows drops
// them), and texts that make a file name longer than 255 bytes.
std::optional<std::string> unsafe_name_reason(std::string_view text);

// The same for the pair: also checks the longest file name built from both.
std::optional<std::string> unsafe_names_reason(std::string_view LineTitle,
                                               std::string_view TrainCode);

}  // namespace scenario::tool
