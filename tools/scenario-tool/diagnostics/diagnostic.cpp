#include "diagnostics/diagnostic.h"

#include <algorithm>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "io/json_writer.h"
#include "io/text_encoding.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

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

}  // namespace

std::string render_text(const std::vector<Diagnostic>& diagnostics, bool colour) {
    const auto paint = [colour](const char* code, const std::string& text) {
        return colour ? code + text + kReset : text;
    };
    std::string out;
    for (const auto& d : diagnostics) {
        std::string where = d.file.empty() ? std::string("scenario-tool") : escape_controls(d.file);
        if (d.line > 0) {
            where += ":" + std::to_string(d.line);
            if (d.column > 0) {
                where += ":" + std::to_string(d.column);
            }
        }
        out += paint(kBold, where + ":") + " ";
        if (d.severity == Severity::error) {
            out += paint(kRed, "error" + (d.code.empty() ? "" : " " + d.code) + ":");
            out += " " + escape_controls(d.message) + "\n";
        } else {
            out += paint(kMagenta, "warning:") + " " + escape_controls(d.message) + " [" +
                   paint(kMagenta, "-W" + d.code) + "]\n";
        }
        if (d.line > 0 && !d.source_line.empty()) {
            const std::string number = std::to_string(d.line);
            out += " " + number + " | " + shown_line(d.source_line) + "\n";
            if (d.column > 0) {
                out += " " + std::string(number.size(), ' ') + " | " +
                       caret_padding(d.source_line, d.column) + paint(kGreen, "^") + "\n";
            }
        }
        for (const auto& note : d.notes) {
            out += paint(kCyan, "note:") + " " + escape_controls(note) + "\n";
        }
        if (!d.hint.empty()) {
            out += paint(kCyan, "help:") + " " + escape_controls(d.hint) + "\n";
        }
    }
    return out;
}

void write_json(JsonWriter& json, const std::vector<Diagnostic>& diagnostics) {
    json.key("diagnostics").begin_array();
    for (const auto& d : diagnostics) {
        json.begin_object();
        json.key("file").value(d.file);
        json.key("line").value(d.line);
        json.key("column").value(d.column);
        json.key("severity").value(d.severity == Severity::error ? "error" : "warning");
        json.key("code").value(d.code);
        json.key("message").value(d.message);
        json.key("notes").begin_array();
        for (const auto& note : d.notes) {
            json.value(note);
        }
        json.end_array();
        if (!d.hint.empty()) {
            json.key("hint").value(d.hint);
        } else {
            json.key("hint").null();
        }
        json.end_object();
    }
    json.end_array();
    const auto errors =
        std::count_if(diagnostics.begin(), diagnostics.end(),
                      [](const Diagnostic& d) { return d.severity == Severity::error; });
    json.key("errors").value(static_cast<std::int64_t>(errors));
    json.key("warnings").value(static_cast<std::int64_t>(diagnostics.size()) - errors);
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
#ifdef _WIN32
    return false;  // the console of an older Windows shows the escapes as they are
#else
    return isatty(STDERR_FILENO) != 0 && std::getenv("NO_COLOR") == nullptr;
#endif
}

}  // namespace scenario::tool
