#include "diagnostics/diagnostic.h"

#include <algorithm>
#include <functional>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "io/text_encoding.h"

#include "files/os.h"

namespace scenario::tool {

namespace {

constexpr const char* kBold = "\x1b[1m";
constexpr const char* kRed = "\x1b[1;31m";
constexpr const char* kMagenta = "\x1b[1;35m";
constexpr const char* kGreen = "\x1b[1;32m";
constexpr const char* kCyan = "\x1b[1;36m";
constexpr const char* kReset = "\x1b[0m";

// A line of the text as a terminal shows it: UTF-8, control bytes escaped, tabs kept.
std::string shown_line(std::string_view bytes) {
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\t' || (byte >= 0x20 && byte != 0x7F)) {
            shown += utf8_from_1252(std::string_view(&c, 1));
        } else {
            static constexpr char kHex[] = "0123456789abcdef";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        }
    }
    return shown;
}

// Blanks under the line up to the column, keeping the line's tabs so the caret lines up.
std::string caret_padding(std::string_view bytes, std::int32_t column) {
    std::string padding;
    for (std::int32_t i = 0; i + 1 < column && i < static_cast<std::int32_t>(bytes.size()); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        padding += byte == '\t' ? "\t" : byte < 0x20 || byte == 0x7F ? "    " : " ";
    }
    for (auto i = static_cast<std::int32_t>(bytes.size()); i + 1 < column; ++i) {
        padding += ' ';
    }
    return padding;
}

// The source line of a place and a caret under its column, tildes under the rest of its span.
std::string source_lines(const SourcePlace& place, const std::string& caret_colour,
                         const std::function<std::string(const char*, const std::string&)>& paint) {
    if (place.line <= 0 || place.source_line.empty()) {
        return {};
    }
    const std::string number = std::to_string(place.line);
    std::string out = " " + number + " | " + shown_line(place.source_line) + "\n";
    if (place.column > 0) {
        const auto room = static_cast<std::int32_t>(place.source_line.size()) - place.column;
        const auto tildes = std::clamp(place.length - 1, 0, std::max(room, 0));
        out +=
            " " + std::string(number.size(), ' ') + " | " +
            caret_padding(place.source_line, place.column) +
            paint(caret_colour.c_str(), "^" + std::string(static_cast<std::size_t>(tildes), '~')) +
            "\n";
    }
    return out;
}

std::string where(const SourcePlace& place) {
    std::string text =
        place.file.empty() ? std::string("scenario-tool") : escape_controls(place.file);
    if (place.line > 0) {
        text += ":" + std::to_string(place.line);
        if (place.column > 0) {
            text += ":" + std::to_string(place.column);
        }
    }
    return text;
}

}  // namespace

std::string render_text(const std::vector<Diagnostic>& diagnostics, bool colour) {
    const std::function<std::string(const char*, const std::string&)> paint =
        [colour](const char* code, const std::string& text) {
            return colour ? code + text + kReset : text;
        };
    std::string out;
    for (const auto& d : diagnostics) {
        out += paint(kBold, where(d.place) + ":") + " ";
        if (d.severity == Severity::error) {
            out += paint(
                kRed, "error" +
                          (d.code.empty() || d.id >= compiler::Diag::first_warning ? std::string()
                                                                                   : " " + d.code) +
                          ":");
            out += " " + escape_controls(d.message);
            if (d.id > compiler::Diag::first_warning) {
                out += " [" + paint(kRed, "-W" + d.code) + "]";
            }
            out += "\n";
        } else if (d.severity == Severity::warning) {
            out += paint(kMagenta, "warning:") + " " + escape_controls(d.message) + " [" +
                   paint(kMagenta, "-W" + d.code) + "]\n";
        } else {
            out += paint(kCyan, "note:") + " " + escape_controls(d.message) + " [" +
                   paint(kCyan, "-W" + d.code) + "]\n";
        }
        out += source_lines(d.place, kGreen, paint);
        for (const auto& note : d.notes) {
            if (note.place.in_text()) {
                out += paint(kBold, where(note.place) + ":") + " " + paint(kCyan, "note:") + " " +
                       escape_controls(note.message) + "\n";
                out += source_lines(note.place, kGreen, paint);
            } else {
                out += paint(kCyan, "note:") + " " + escape_controls(note.message) + "\n";
            }
        }
        if (!d.hint.empty()) {
            out += paint(kCyan, "help:") + " " + escape_controls(d.hint) + "\n";
        }
    }
    return out;
}

std::string closing_line(const std::vector<Diagnostic>& diagnostics) {
    const auto errors =
        std::count_if(diagnostics.begin(), diagnostics.end(),
                      [](const Diagnostic& d) { return d.severity == Severity::error; });
    const auto warnings =
        std::count_if(diagnostics.begin(), diagnostics.end(),
                      [](const Diagnostic& d) { return d.severity == Severity::warning; });
    if (errors == 0 && warnings == 0) {
        return {};
    }
    const auto counted = [](std::int64_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    std::string line;
    if (errors > 0) {
        line = counted(errors, "error");
    }
    if (warnings > 0) {
        line += (line.empty() ? "" : " and ") + counted(warnings, "warning");
    }
    return line + " generated.\n";
}

bool colour_wanted(const std::string& choice) {
    if (choice == "always") {
        return true;
    }
    if (choice == "never") {
        return false;
    }
    if (choice != "auto") {
        throw UsageError("--color takes auto, always or never, not '" + valid_utf8(choice) + "'");
    }
    return files::os::standard_error_shows_colour() && std::getenv("NO_COLOR") == nullptr;
}

}  // namespace scenario::tool
