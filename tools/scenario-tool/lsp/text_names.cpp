#include "lsp/text_names.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace scenario::tool::lsp {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLineSuffix = "_linea.txt";
constexpr std::string_view kTrainSuffix = "-.txt";
constexpr std::string_view kProjectFile = "scenario.ini";

int hex_value(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> percent_decoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = hex_value(text[i + 1]);
        const int low = hex_value(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

fs::path path_of_utf8(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8_of_path(const fs::path& path) {
    const auto text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

TextName text_name(std::string_view file_name) {
    TextName name;
    if (file_name == kProjectFile) {
        name.kind = TextKind::project;
    } else if (file_name.size() > kLineSuffix.size() && file_name.ends_with(kLineSuffix)) {
        name.kind = TextKind::line;
        name.title = file_name.substr(0, file_name.size() - kLineSuffix.size());
    } else if (file_name.ends_with(kTrainSuffix)) {
        name.kind = TextKind::train;
        const auto stem = file_name.substr(0, file_name.size() - kTrainSuffix.size());
        const auto cut = stem.rfind('_');
        if (cut != std::string_view::npos && cut > 0 && cut + 1 < stem.size()) {
            name.title = stem.substr(0, cut);
            name.code = stem.substr(cut + 1);
        }
    }
    return name;
}

TextKind text_kind(std::string_view file_name, std::string_view language) {
    const auto kind = text_name(file_name).kind;
    if (kind != TextKind::other) {
        return kind;
    }
    if (language == "scenario-line") {
        return TextKind::line;
    }
    if (language == "scenario-train") {
        return TextKind::train;
    }
    return TextKind::other;
}

std::optional<fs::path> path_of_uri(std::string_view uri) {
    constexpr std::string_view kScheme = "file://";
    if (uri.size() < kScheme.size() ||
        !std::equal(kScheme.begin(), kScheme.end(), uri.begin(), [](char a, char b) {
            return a == std::tolower(static_cast<unsigned char>(b));
        })) {
        return std::nullopt;
    }
    std::string_view rest = uri.substr(kScheme.size());
    const auto query = rest.find_first_of("?#");
    rest = rest.substr(0, query);
    // file:///path, or file://host/share/path for a network share.
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto host = rest.substr(0, slash);
    auto decoded = percent_decoded(rest.substr(slash));
    if (!decoded || decoded->find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::string path = *decoded;
    // /C:/folder is the drive C: of Windows.
    if (path.size() >= 3 && path[0] == '/' && std::isalpha(static_cast<unsigned char>(path[1])) &&
        path[2] == ':') {
        path.erase(0, 1);
    }
    if (!host.empty() && host != "localhost") {
        path = "//" + std::string(host) + path;
    }
    return path_of_utf8(path);
}

std::string uri_file_name(std::string_view uri) {
    auto path = uri.substr(0, uri.find_first_of("?#"));
    const auto slash = path.rfind('/');
    const auto last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return percent_decoded(last).value_or(std::string(last));
}

std::string uri_of_path(const fs::path& path) {
    std::string text = utf8_of_path(path);
    if (text.size() >= 2 && text[1] == ':') {
        text.insert(0, "/");
    }
    std::string uri = "file://";
    if (text.starts_with("//")) {
        uri = "file:";
    }
    constexpr std::string_view kKept = "-._~/:";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 && byte < 0x80) {
            uri += c;
        } else if (kKept.find(c) != std::string_view::npos) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri;
}

bool pairs_with(const TextName& a, const TextName& b) {
    if (a.title.empty() || a.title != b.title) {
        return false;
    }
    return (a.kind == TextKind::line && b.kind == TextKind::train) ||
           (a.kind == TextKind::train && b.kind == TextKind::line);
}

std::vector<fs::path> partners_on_disk(const fs::path& text, const TextName& name) {
    std::vector<fs::path> found;
    if (name.title.empty()) {
        return found;
    }
    std::error_code ec;
    const auto folder = text.parent_path();
    if (name.kind == TextKind::train) {
        auto line = folder / path_of_utf8(name.title + std::string(kLineSuffix));
        if (fs::is_regular_file(line, ec)) {
            found.push_back(std::move(line));
        }
        return found;
    }
    if (name.kind != TextKind::line) {
        return found;
    }
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const auto file = it->path().filename().u8string();
        const TextName other = text_name(std::string(file.begin(), file.end()));
        if (pairs_with(name, other) && it->is_regular_file(ec)) {
            found.push_back(it->path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace scenario::tool::lsp
