#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenario::tool {

// Windows-1252 bytes (the texts and the names in the compact files) as UTF-8, for terminals,
// JSON and SVG. The five bytes that stand for no character become U+FFFD.
std::string utf8_from_1252(std::string_view text);

// Text that should already be UTF-8 (paths, arguments), with every invalid sequence replaced by
// U+FFFD so that JSON and SVG stay well-formed.
std::string valid_utf8(std::string_view text);

// UTF-8 text (a title or code typed on the command line) as Windows-1252 bytes, the encoding
// of the names in the compact files; nothing when it is not UTF-8 or holds a character that
// Windows-1252 has not.
std::optional<std::string> utf8_to_1252(std::string_view utf8);

}  // namespace scenario::tool
