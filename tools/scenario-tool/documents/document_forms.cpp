#include "documents/document_forms.h"

#include <array>

#include "compiler/model/numbers.h"
#include "files/windows_1252.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

constexpr std::int64_t kDay = 24 * 3600;

// Upper case of a Windows-1252 byte: the inverse of the code page's lower case.
unsigned char to_upper_1252(unsigned char byte) {
    static const auto upper = [] {
        std::array<unsigned char, 256> table{};
        for (int b = 0; b < 256; ++b) {
            table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
        }
        for (int b = 0; b < 256; ++b) {
            const auto lower = files::to_lower_1252(static_cast<unsigned char>(b));
            if (lower != b) {
                table[lower] = static_cast<unsigned char>(b);
            }
        }
        return table;
    }();
    return upper[byte];
}

bool is_joining_word(std::string_view lower) {
    static constexpr std::string_view kWords[] = {
        "a",     "ad",    "al",    "alla",  "alle", "ai",    "agli",  "allo", "con", "d",
        "da",    "dal",   "dalla", "dalle", "dai",  "dagli", "dallo", "de",   "dei", "degli",
        "del",   "della", "delle", "dello", "di",   "e",     "ed",    "fra",  "in",  "nel",
        "nella", "nei",   "per",   "su",    "sul",  "sulla", "sui",   "tra"};
    for (const auto word : kWords) {
        if (word == lower) {
            return true;
        }
    }
    return false;
}

bool ends_word(char c) {
    return c == ' ' || c == '-' || c == '\'' || c == '.';
}

}  // namespace

std::optional<std::string> clock_form(std::int64_t seconds) {
    if (seconds < 0 || seconds >= kDay || seconds % 30 != 0) {
        return std::nullopt;
    }
    const std::int64_t minutes = seconds / 60 % 60;
    return std::to_string(seconds / 3600) + "." + (minutes < 10 ? "0" : "") +
           std::to_string(minutes) + (seconds % 60 != 0 ? "+" : "");
}

std::string kilometre_form(std::int64_t metres) {
    const std::string m = std::to_string(metres % 1000);
    return std::to_string(metres / 1000) + "+" + std::string(3 - m.size(), '0') + m;
}

std::int32_t running_speed(std::int32_t limit) {
    return static_cast<std::int32_t>(limit - 5 * compiler::round_half_even(limit / 50.0));
}

std::string printed_name(std::string_view name) {
    std::string printed(name.substr(0, name.find_last_not_of(' ') + 1));
    for (auto at = printed.find(" - "); at != std::string::npos; at = printed.find(" - ", at)) {
        printed.replace(at, 3, "-");
    }
    return printed;
}

std::string mixed_case(std::string_view name) {
    std::string out = files::to_lower_1252(name);
    bool first_word = true;
    for (std::size_t begin = 0; begin < out.size();) {
        std::size_t end = begin;
        while (end < out.size() && !ends_word(out[end])) {
            ++end;
        }
        if (end > begin) {
            const bool small =
                !first_word && is_joining_word(std::string_view(out).substr(begin, end - begin));
            if (!small) {
                out[begin] =
                    static_cast<char>(to_upper_1252(static_cast<unsigned char>(out[begin])));
            }
            first_word = false;
        }
        begin = end + 1;
    }
    return out;
}

std::optional<std::string> in_cell(std::string_view text, std::size_t width) {
    if (text.size() > width) {
        return std::nullopt;
    }
    std::string cell(text);
    cell.resize(width, ' ');
    return cell;
}

std::optional<std::string> centred(std::string_view text, std::size_t width) {
    if (text.size() > width) {
        return std::nullopt;
    }
    return in_cell(std::string((width - text.size()) / 2, ' ') + std::string(text), width);
}

std::string document_bytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

std::string quoted(std::string_view text) {
    return "'" + utf8_from_1252(text) + "'";
}

}  // namespace scenario::tool
