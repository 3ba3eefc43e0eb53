#include "markdown_page.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "roff.h"

namespace scenario::docgen {

namespace {

constexpr std::string_view kPunctuation = "\\`*_{}[]()#+-.!|<>\"'~";

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string font(char letter) {
    return std::string("\\f") + letter;
}

// A line of set text, kept from being read as a request.
std::string protect(const std::string& line) {
    return !line.empty() && (line.front() == '.' || line.front() == '\'') ? "\\&" + line : line;
}

// Marks set in `base` font: each span switches to its font and back to `base` at its end.
std::string render_inline(std::string_view text, char base, bool with_fonts) {
    std::string out;
    std::string run;  // plain text not yet escaped, so that no UTF-8 sequence is cut
    const auto flush = [&] {
        out += escape(run);
        run.clear();
    };
    const auto span = [&](std::string_view inner, char letter, bool literal) {
        flush();
        if (with_fonts) {
            out += font(letter);
        }
        out += literal ? escape(inner) : render_inline(inner, letter, with_fonts);
        if (with_fonts) {
            out += font(base);
        }
    };
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() &&
            kPunctuation.find(text[i + 1]) != kPunctuation.npos) {
            run += text[i + 1];
            i += 2;
            continue;
        }
        if (c == '`') {
            const auto ticks = text.find_first_not_of('`', i) - i;
            const std::string fence(ticks, '`');
            const auto close = text.find(fence, i + ticks);
            if (close != std::string_view::npos) {
                std::string_view code = text.substr(i + ticks, close - i - ticks);
                if (code.size() > 2 && code.front() == ' ' && code.back() == ' ') {
                    code = code.substr(1, code.size() - 2);
                }
                span(code, 'B', true);
                i = close + ticks;
                continue;
            }
        }
        if (text.substr(i).starts_with("**")) {
            const auto close = text.find("**", i + 2);
            if (close != std::string_view::npos && close > i + 2) {
                span(text.substr(i + 2, close - i - 2), 'B', false);
                i = close + 2;
                continue;
            }
        }
        if (c == '*' && i + 1 < text.size() && text[i + 1] != ' ') {
            const auto close = text.find('*', i + 1);
            if (close != std::string_view::npos) {
                span(text.substr(i + 1, close - i - 1), 'I', false);
                i = close + 1;
                continue;
            }
        }
        const bool image = c == '!' && i + 1 < text.size() && text[i + 1] == '[';
        if (c == '[' || image) {
            const auto open = i + (image ? 1 : 0);
            const auto middle = text.find("](", open);
            const auto close = middle == std::string_view::npos ? middle : text.find(')', middle);
            if (close != std::string_view::npos) {
                flush();
                out += render_inline(text.substr(open + 1, middle - open - 1), base, with_fonts);
                i = close + 1;
                continue;
            }
        }
        run += c;
        ++i;
    }
    flush();
    return out;
}

bool is_fence(std::string_view line) {
    return trimmed(line).starts_with("```");
}

bool is_table_row(std::string_view line) {
    return trimmed(line).starts_with('|');
}

int heading_level(std::string_view line) {
    const auto hashes = line.find_first_not_of('#');
    if (hashes == 0 || hashes > 6 || hashes == std::string_view::npos || line[hashes] != ' ') {
        return 0;
    }
    return static_cast<int>(hashes);
}

// "- text", "* text", "+ text" or "12. text": the marker as roff tags it, and the text.
struct ListMarker {
    std::string tag;
    std::string_view text;
};

std::optional<ListMarker> list_marker(std::string_view line) {
    const auto content = trimmed(line);
    if (content.size() > 2 && (content[0] == '-' || content[0] == '*' || content[0] == '+') &&
        content[1] == ' ') {
        return ListMarker{"\\(bu 2", trimmed(content.substr(2))};
    }
    const auto digits = content.find_first_not_of("0123456789");
    if (digits > 0 && digits != std::string_view::npos && digits + 1 < content.size() &&
        (content[digits] == '.' || content[digits] == ')') && content[digits + 1] == ' ') {
        return ListMarker{std::string(content.substr(0, digits)) + ". 4",
                          trimmed(content.substr(digits + 2))};
    }
    return std::nullopt;
}

std::vector<std::string> table_cells(std::string_view row) {
    row = trimmed(row);
    if (row.starts_with('|')) {
        row.remove_prefix(1);
    }
    if (row.ends_with('|') && !row.ends_with("\\|")) {
        row.remove_suffix(1);
    }
    std::vector<std::string> cells;
    std::string cell;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '\\' && i + 1 < row.size() && row[i + 1] == '|') {
            cell += "\\|";
            ++i;
        } else if (row[i] == '|') {
            cells.emplace_back(trimmed(cell));
            cell.clear();
        } else {
            cell += row[i];
        }
    }
    cells.emplace_back(trimmed(cell));
    return cells;
}

bool is_number(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Each row as a tagged paragraph: "1. route length", then "unit: m; width: 32-bit", then the
// last cell's text on a line of its own.
std::string table_rows(const std::vector<std::string>& header,
                       const std::vector<std::vector<std::string>>& rows) {
    std::string out;
    for (const auto& row : rows) {
        std::size_t first = 0;
        out += ".TP\n";
        if (row.size() > 1 && (is_number(row[0]) || (!header.empty() && header[0] == "#"))) {
            out += escape(row[0]) + ". ";
            first = 1;
        }
        out += "\\fB" + render_inline(row[first], 'B', true) + "\\fR\n";
        const std::size_t last = row.size() - 1;
        std::string details;
        for (std::size_t k = first + 1; k < last; ++k) {
            if (row[k].empty()) {
                continue;
            }
            const std::string name = k < header.size() ? plain_markdown(header[k]) : "";
            details += (details.empty() ? "" : "; ") + escape(name) + (name.empty() ? "" : ": ") +
                       render_inline(row[k], 'R', true);
        }
        if (!details.empty()) {
            out += protect(details) + "\n";
        }
        if (last > first && !row[last].empty()) {
            out += (details.empty() ? "" : ".br\n") + protect(render_inline(row[last], 'R', true)) +
                   "\n";
        }
    }
    return out;
}

}  // namespace

std::string inline_markdown(std::string_view text) {
    return render_inline(text, 'R', true);
}

std::string plain_markdown(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() &&
            kPunctuation.find(text[i + 1]) != kPunctuation.npos) {
            out += text[++i];
        } else if (c != '`' && c != '*') {
            out += c;
        }
    }
    return out;
}

std::string markdown_page(const PageHeading& heading, std::string_view markdown,
                          const std::vector<std::string>& see_also) {
    const auto lines = split_lines(markdown);
    std::string out = title_lines(heading);
    bool section_open = false;
    std::vector<std::string_view> paragraph;
    bool paragraph_tagged = false;  // begun by a list item's .IP rather than .PP

    const auto open_section = [&] {
        if (!section_open) {
            out += ".SH DESCRIPTION\n";
            section_open = true;
        }
    };
    const auto flush = [&] {
        if (paragraph.empty()) {
            return;
        }
        open_section();
        if (!paragraph_tagged) {
            out += ".PP\n";
        }
        for (const auto line : paragraph) {
            out += protect(inline_markdown(line)) + "\n";
        }
        paragraph.clear();
        paragraph_tagged = false;
    };

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (trimmed(line).empty()) {
            flush();
            continue;
        }
        if (is_fence(line)) {
            flush();
            open_section();
            out += ".PP\n.RS 2\n.nf\n";
            for (++i; i < lines.size() && !is_fence(lines[i]); ++i) {
                out += text_line(lines[i]) + "\n";
            }
            out += ".fi\n.RE\n";
            continue;
        }
        if (const int level = heading_level(line); level > 0) {
            flush();
            const std::string title = plain_markdown(trimmed(line.substr(level)));
            if (level == 1) {
                std::string summary = title;
                summary[0] =
                    static_cast<char>(std::tolower(static_cast<unsigned char>(summary[0])));
                out += ".SH NAME\n" + escape(heading.name) + " \\- " + escape(summary) + "\n";
            } else if (level == 2) {
                out += ".SH " + quoted_argument(upper(title)) + "\n";
                section_open = true;
            } else {
                open_section();
                out += (level == 3 ? ".SS " : ".PP\n.B ") + quoted_argument(title) + "\n";
            }
            continue;
        }
        if (is_table_row(line)) {
            flush();
            open_section();
            std::vector<std::vector<std::string>> rows;
            for (; i < lines.size() && is_table_row(lines[i]); ++i) {
                rows.push_back(table_cells(lines[i]));
            }
            --i;
            const auto header = rows.front();
            rows.erase(rows.begin(), rows.begin() + std::min<std::size_t>(2, rows.size()));
            out += table_rows(header, rows);
            continue;
        }
        if (const auto marker = list_marker(line)) {
            flush();
            open_section();
            out += ".IP " + marker->tag + "\n";
            paragraph_tagged = true;
            paragraph.push_back(marker->text);
            continue;
        }
        const auto content = trimmed(line.starts_with('>') ? line.substr(1) : line);
        paragraph.push_back(content);
    }
    flush();
    return out + see_also_section(see_also);
}

}  // namespace scenario::docgen
