#pragma once

#include <string>
#include <string_view>

namespace scenario::docgen {

// Text for a roff input line: backslashes and dashes kept as typed (a dash as the ASCII one that
// can be copied into a shell), bytes above ASCII as named Unicode characters. Does not protect
// a leading dot; text_line does.
std::string escape(std::string_view text);

// One input line of running text: escaped, and kept from being read as a request when it starts
// with a dot or an apostrophe.
std::string text_line(std::string_view text);

// A quoted argument of a request such as .SH or .TP.
std::string quoted_argument(std::string_view text);

// Command-line notation as manual pages set it: names and options in bold, the upper-case
// words that stand for a value (FILE, DIR, N) in italics, brackets, bars and dots in roman.
std::string synopsis(std::string_view notation);

}  // namespace scenario::docgen
