#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace scenario::files {

// Lower case of one Windows-1252 byte: A-Z, the accented capitals and the four capitals of the
// 0x80-0x9F block; every other byte is unchanged.
unsigned char to_lower_1252(unsigned char byte);
std::string to_lower_1252(std::string_view text);

// Windows-1252 bytes as the platform's file-name characters (UTF-16 on Windows, bytes elsewhere).
std::filesystem::path::string_type to_native(std::string_view text);

}  // namespace scenario::files
