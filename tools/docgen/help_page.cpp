#include "help_page.h"

#include <cctype>

#include "roff.h"

namespace scenario::docgen {

namespace {

using tool::ParagraphKind;

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string name_section(std::string_view name, std::string_view summary_text) {
    return ".SH NAME\n" + escape(name) + " \\- " + escape(summary_text) + "\n";
}

// The text's lines, each an input line of its own.
std::string text_lines(std::string_view text) {
    std::string out;
    while (true) {
        const auto end = text.find('\n');
        out += text_line(text.substr(0, end)) + "\n";
        if (end == std::string_view::npos) {
            return out;
        }
        text.remove_prefix(end + 1);
    }
}

// A list item: its term set as command-line notation, its text on one line.
std::string tagged(std::string_view term, std::string_view text) {
    std::string joined(text);
    for (char& c : joined) {
        c = c == '\n' ? ' ' : c;
    }
    return ".TP\n" + synopsis(term) + "\n" + (joined.empty() ? "" : text_line(joined) + "\n");
}

std::string tagged(std::span<const tool::ListEntry> entries) {
    std::string out;
    for (const auto& entry : entries) {
        out += tagged(entry.term, entry.text);
    }
    return out;
}

}  // namespace

std::string title_lines(const PageHeading& heading) {
    // Flush left and no hyphens: the text is full of names, options and file names.
    return ".TH " + upper(heading.name) + " " + std::to_string(heading.section) + " \"\" " +
           quoted_argument("scenario-builder " + heading.version) + " " +
           quoted_argument(heading.section == 5 ? "File Formats" : "User Commands") +
           "\n.ad l\n.nh\n";
}

std::string see_also_section(const std::vector<std::string>& pages) {
    if (pages.empty()) {
        return {};
    }
    std::string out = ".SH \"SEE ALSO\"\n";
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const auto open = pages[i].find('(');
        out += ".BR " + escape(pages[i].substr(0, open)) + " " + pages[i].substr(open) +
               (i + 1 < pages.size() ? ",\n" : "\n");
    }
    return out;
}

std::string help_paragraphs(const tool::CommandDescription& command,
                            std::span<const tool::ListEntry> commands) {
    std::string out;
    for (const auto& paragraph : command.paragraphs) {
        switch (paragraph.kind) {
            case ParagraphKind::prose:
                out += ".PP\n" + text_lines(paragraph.text);
                break;
            case ParagraphKind::exit_status:
                out += ".PP\n" + text_lines("exit status: " + std::string(paragraph.text));
                break;
            case ParagraphKind::list:
                for (const auto& item : paragraph.items) {
                    out += tagged(item.term, item.text);
                }
                break;
            case ParagraphKind::options:
                out += tagged(tool::listed_options(command));
                break;
            case ParagraphKind::command_list:
                out += tagged(commands);
                break;
        }
    }
    return out;
}

std::string synopsis_lines(const tool::CommandDescription& command) {
    std::string out;
    for (const auto& line : tool::usage_lines(command)) {
        out += synopsis(line) + "\n";
    }
    return out;
}

std::string tool_page(const PageHeading& heading, const tool::CommandDescription& tool,
                      std::span<const tool::ListEntry> command_list,
                      std::span<const tool::CommandDescription* const> commands,
                      const std::vector<std::string>& see_also) {
    std::string out = title_lines(heading) + name_section(heading.name, tool.summary);
    out += ".SH SYNOPSIS\n.nf\n" + synopsis_lines(tool);
    std::string sections;
    for (const auto* command : commands) {
        out += synopsis_lines(*command);
        sections += ".SS " + quoted_argument(command->name) + "\n.PP\n.nf\n" +
                    synopsis_lines(*command) + ".fi\n" + help_paragraphs(*command);
    }
    out += ".fi\n.SH DESCRIPTION\n" + help_paragraphs(tool, command_list) + ".SH COMMANDS\n" +
           sections;
    return out + see_also_section(see_also);
}

std::string builder_page(const PageHeading& heading, const tool::CommandDescription& builder,
                         std::string_view installed_program,
                         const std::vector<std::string>& see_also) {
    std::string out = title_lines(heading) + name_section(heading.name, builder.summary);
    out += ".SH SYNOPSIS\n.nf\n" + synopsis_lines(builder) + ".fi\n.SH DESCRIPTION\n" +
           help_paragraphs(builder);
    if (!installed_program.empty()) {
        out += ".SH FILES\n.TP\n.I " + quoted_argument(installed_program) + "\n" +
               "The program as installed, not on the search path: it writes into its own "
               "directory. Copy it into the directory where the scenario should appear and run "
               "the copy there.\n";
    }
    return out + see_also_section(see_also);
}

}  // namespace scenario::docgen
