#include "io/text_encoding.h"

#include "files/shown_text.h"
#include "files/utf8.h"

namespace scenario::tool {

std::string valid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        // A byte that starts no sequence is one replacement character: nothing else is lost.
        const auto sequence = files::decode_utf8(text);
        const std::size_t length = sequence ? sequence->length : 1;
        if (sequence) {
            out.append(text.substr(0, length));
        } else {
            files::append_utf8(out, files::kReplacementCharacter);
        }
        text.remove_prefix(length);
    }
    return out;
}

std::string shown(const std::filesystem::path& path) {
    const auto utf8 = path.u8string();  // UTF-8 from Windows' UTF-16, the bytes elsewhere
    return valid_utf8(std::string(utf8.begin(), utf8.end()));
}

std::filesystem::path path_argument(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string escape_controls(std::string_view utf8) {
    // Once the text is valid UTF-8, a C1 control can only be C2 80 to C2 9F: the build's own
    // escaping then shows exactly what the tool must.
    return files::escape_controls(valid_utf8(utf8));
}

}  // namespace scenario::tool
