#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/windows_1252.h"

namespace scenario::tool {

// Windows-1252 bytes (the texts and the names in the compact files) as UTF-8, for terminals,
// JSON and SVG. The five bytes that stand for no character become U+FFFD.
using files::utf8_from_1252;

// Text that should already be UTF-8 (paths, arguments), with every invalid sequence replaced by
// U+FFFD so that JSON and SVG stay well-formed.
std::string valid_utf8(std::string_view text);

// A path as it is shown to the author: UTF-8, whatever bytes it holds.
std::string shown(const std::filesystem::path& path);

// A path given on the command line (UTF-8 on every system) as the system names it: UTF-16 on
// Windows, so that a name of any characters reaches the file.
std::filesystem::path path_argument(const std::string& utf8);

// UTF-8 text as it may go to a terminal: every control character (U+0000 to U+001F, U+007F and
// the C1 block U+0080 to U+009F) becomes \xNN, so that the bytes of a text or of a file name
// shown in a diagnostic or a dump cannot move the cursor, recolour or retitle the terminal.
// Invalid UTF-8 becomes U+FFFD first. Every line of plain text the tool prints goes through it.
std::string escape_controls(std::string_view utf8);

// UTF-8 text (a title or code typed on the command line) as Windows-1252 bytes, the encoding
// of the names in the compact files; nothing when it is not UTF-8 or holds a character that
// Windows-1252 has not.
using files::utf8_to_1252;

}  // namespace scenario::tool
