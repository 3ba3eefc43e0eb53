#include "io/safe_names.h"

#include <algorithm>
#include <array>

#include "files/file_names.h"

namespace scenario::tool {

namespace {

constexpr std::size_t kLongestFileName = 255;
constexpr std::string_view kForbidden = "/\\<>:\"|?*";

}  // namespace

std::optional<std::string> unsafe_name_reason(std::string_view text) {
    if (text.empty()) {
        return "it is empty";
    }
    if (files::is_device_name(text)) {
        return "it is the name of a device on Windows (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to "
               "LPT9, with any extension)";
    }
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F) {
            return "it contains a control character";
        }
        if (kForbidden.find(ch) != std::string_view::npos) {
            return std::string("it contains '") + ch + "', which a file name cannot hold";
        }
    }
    if (text.find("..") != std::string_view::npos) {
        return "it contains '..'";
    }
    if (text.back() == ' ' || text.back() == '.') {
        return "it ends with a blank or a full stop";
    }
    return std::nullopt;
}

std::optional<std::string> unsafe_names_reason(std::string_view LineTitle,
                                               std::string_view TrainCode) {
    if (auto reason = unsafe_name_reason(LineTitle)) {
        return "the title cannot name files: " + *reason;
    }
    if (auto reason = unsafe_name_reason(TrainCode)) {
        return "the code cannot name files: " + *reason;
    }
    const std::array longest{files::train_card_name(LineTitle, TrainCode),
                             files::slowdown_order_name(LineTitle, TrainCode),
                             files::line_binary_name(LineTitle)};
    for (const auto& name : longest) {
        if (name.size() > kLongestFileName) {
            return "the title and code make the file name '" + name.substr(0, 40) +
                   "...' longer than 255 bytes";
        }
    }
    return std::nullopt;
}

}  // namespace scenario::tool
