#include "cli/help_text.h"

#include <algorithm>

namespace scenario::tool {

namespace {

constexpr std::string_view kUsage = "usage: ";
constexpr std::size_t kHelpWidth = 79;

// The pieces a form is broken between: an option with its value, a bracketed group, a word.
std::vector<std::string_view> form_pieces(std::string_view form) {
    std::vector<std::string_view> pieces;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= form.size(); ++i) {
        if (i < form.size() && (form[i] != ' ' || depth > 0)) {
            depth += form[i] == '[' ? 1 : form[i] == ']' ? -1 : 0;
            continue;
        }
        const auto word = form.substr(start, i - start);
        start = i + 1;
        if (word.empty()) {
            continue;
        }
        const bool is_value = !word.starts_with('-') && !word.starts_with('[') && word != "|";
        if (is_value && !pieces.empty() && pieces.back().starts_with('-')) {
            const auto* first = pieces.back().data();
            pieces.back() = std::string_view(first, static_cast<std::size_t>(word.end() - first));
        } else {
            pieces.push_back(word);
        }
    }
    return pieces;
}

std::string list_lines(const std::vector<ListEntry>& entries) {
    std::size_t width = 0;
    for (const auto& entry : entries) {
        width = std::max(width, entry.term.size());
    }
    const std::string indent(2 + width + 2, ' ');
    std::string out;
    for (const auto& entry : entries) {
        out += "  " + entry.term + std::string(width - entry.term.size() + 2, ' ');
        std::string_view text = entry.text;
        for (auto end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
            out += std::string(text.substr(0, end)) + "\n" + indent;
            text.remove_prefix(end + 1);
        }
        out += std::string(text) + "\n";
    }
    return out;
}

}  // namespace

std::string option_term(const OptionDescription& option) {
    switch (option.spelling) {
        case Spelling::joined:
            return std::string(option.name) + std::string(option.placeholder);
        case Spelling::equals:
            return "--" + std::string(option.name) + "=" + std::string(option.placeholder);
        case Spelling::separate:
            break;
    }
    return "--" + std::string(option.name) +
           (option.is_flag() ? "" : " " + std::string(option.placeholder));
}

std::vector<ListEntry> listed_options(const CommandDescription& command) {
    std::vector<ListEntry> entries;
    for (const auto& option : command.options) {
        if (!option.help.empty()) {
            entries.push_back({option_term(option), option.help});
        }
    }
    return entries;
}

std::vector<std::string> usage_lines(const CommandDescription& command) {
    std::string head(command.program);
    if (!command.name.empty()) {
        head += " " + std::string(command.name);
    }
    const std::size_t room = kHelpWidth - kUsage.size();
    std::vector<std::string> lines;
    for (const auto form : command.synopsis) {
        std::string line = head;
        for (const auto piece : form_pieces(form)) {
            if (line.size() > head.size() && line.size() + 1 + piece.size() > room) {
                lines.push_back(line);
                line = std::string(head.size(), ' ') + std::string(piece);
            } else {
                line += " " + std::string(piece);
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::string help_text(const CommandDescription& command, std::span<const ListEntry> commands) {
    std::string out;
    for (const auto& line : usage_lines(command)) {
        out += (out.empty() ? std::string(kUsage) : std::string(kUsage.size(), ' ')) + line + "\n";
    }
    for (const auto& paragraph : command.paragraphs) {
        if (!paragraph.follows) {
            out += "\n";
        }
        switch (paragraph.kind) {
            case ParagraphKind::prose:
                out += std::string(paragraph.text) + "\n";
                break;
            case ParagraphKind::exit_status:
                out += "exit status: " + std::string(paragraph.text) + "\n";
                break;
            case ParagraphKind::list: {
                std::vector<ListEntry> entries;
                for (const auto& item : paragraph.items) {
                    entries.push_back({std::string(item.term), item.text});
                }
                out += list_lines(entries);
                break;
            }
            case ParagraphKind::options:
                out += list_lines(listed_options(command));
                break;
            case ParagraphKind::command_list:
                out += list_lines({commands.begin(), commands.end()});
                break;
        }
    }
    return out;
}

}  // namespace scenario::tool
