#include "help_text.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace scenario::docgen {

namespace {

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

std::size_t indent_of(std::string_view line) {
    const auto first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? line.size() : first;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view first_word(std::string_view text) {
    return text.substr(0, text.find(' '));
}

// "exit status: 0 clean", "options: --help", "commands:": one or two words in letters, a colon.
bool starts_with_label(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0 ||
        (colon + 1 < line.size() && line[colon + 1] != ' ')) {
        return false;
    }
    int words = 1;
    for (const char c : line.substr(0, colon)) {
        if (c == ' ') {
            ++words;
        } else if (!std::isalpha(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return words <= 2;
}

}  // namespace

HelpText parse_help(std::string_view text) {
    constexpr std::string_view kUsage = "usage: ";
    const auto lines = split_lines(text);
    if (lines.empty() || !lines.front().starts_with(kUsage)) {
        throw std::invalid_argument("a help text starts with \"usage: \"");
    }
    HelpText help;
    help.forms.emplace_back(trimmed(lines.front().substr(kUsage.size())));
    help.form_lines.emplace_back(lines.front().substr(kUsage.size()));
    const std::string program(first_word(help.forms.front()));
    std::size_t i = 1;
    // Indented lines go on with the form above, or start another where they name the program.
    for (; i < lines.size() && !trimmed(lines[i]).empty(); ++i) {
        const auto line = trimmed(lines[i]);
        const auto indent = indent_of(lines[i]);
        help.form_lines.push_back(std::string(indent - std::min(indent, kUsage.size()), ' ') +
                                  std::string(line));
        if (first_word(line) == program) {
            help.forms.emplace_back(line);
        } else {
            help.forms.back() += " " + std::string(line);
        }
    }

    HelpBlock* block = nullptr;
    std::size_t text_column = 0;  // where the descriptions of the current list start
    for (; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string_view content = trimmed(line);
        if (content.empty()) {
            block = nullptr;
            continue;
        }
        const std::size_t indent = indent_of(line);
        const bool in_list = block != nullptr && !block->items.empty();
        if (indent == 0) {
            if (block == nullptr || in_list || starts_with_label(content)) {
                block = &help.blocks.emplace_back();
            }
            block->lines.emplace_back(content);
            continue;
        }
        if (in_list && indent >= text_column) {
            block->items.back().text += " " + std::string(content);
            continue;
        }
        if (!in_list) {
            block = &help.blocks.emplace_back();
        }
        const auto gap = line.find("  ", indent);
        HelpItem item;
        if (gap == std::string_view::npos) {
            item.term = content;
            text_column = line.size() + 1;
        } else {
            item.term = line.substr(indent, gap - indent);
            text_column = indent_of(line.substr(gap)) + gap;
            item.text = trimmed(line.substr(text_column));
        }
        block->items.push_back(std::move(item));
    }
    return help;
}

std::string summary(const HelpText& help) {
    for (const auto& block : help.blocks) {
        if (block.lines.empty()) {
            continue;
        }
        std::string text;
        for (const auto& line : block.lines) {
            text += (text.empty() ? "" : " ") + line;
        }
        text = text.substr(0, text.find_first_of(":."));
        if (!text.empty()) {
            text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        }
        return text;
    }
    return {};
}

}  // namespace scenario::docgen
