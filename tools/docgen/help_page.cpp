#include "help_page.h"

#include <cctype>

#include "roff.h"

namespace scenario::docgen {

namespace {

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

std::string help_blocks(const HelpText& help) {
    std::string out;
    for (const auto& block : help.blocks) {
        if (!block.lines.empty()) {
            out += ".PP\n";
            for (const auto& line : block.lines) {
                out += text_line(line) + "\n";
            }
            continue;
        }
        for (const auto& item : block.items) {
            out += ".TP\n" + synopsis(item.term) + "\n";
            if (!item.text.empty()) {
                out += text_line(item.text) + "\n";
            }
        }
    }
    return out;
}

std::string usage_forms(const HelpText& help) {
    std::string out = ".PP\n.nf\n";
    for (const auto& line : help.form_lines) {
        out += synopsis(line) + "\n";
    }
    return out + ".fi\n";
}

std::string tool_page(const PageHeading& heading, std::string_view tool_help,
                      const std::vector<CommandPage>& commands,
                      const std::vector<std::string>& see_also) {
    const HelpText tool = parse_help(tool_help);
    std::string out = title_lines(heading) + name_section(heading.name, summary(tool));
    out += ".SH SYNOPSIS\n.nf\n";
    for (const auto& line : tool.form_lines) {
        out += synopsis(line) + "\n";
    }
    std::string sections;
    for (const auto& command : commands) {
        const HelpText help = parse_help(command.help);
        for (const auto& line : help.form_lines) {
            out += synopsis(line) + "\n";
        }
        sections +=
            ".SS " + quoted_argument(command.name) + "\n" + usage_forms(help) + help_blocks(help);
    }
    out += ".fi\n.SH DESCRIPTION\n" + help_blocks(tool) + ".SH COMMANDS\n" + sections;
    return out + see_also_section(see_also);
}

std::string builder_page(const PageHeading& heading, std::string_view builder_help,
                         std::string_view installed_program,
                         const std::vector<std::string>& see_also) {
    const HelpText help = parse_help(builder_help);
    std::string out = title_lines(heading) + name_section(heading.name, summary(help));
    out += ".SH SYNOPSIS\n.nf\n";
    for (const auto& line : help.form_lines) {
        out += synopsis(line) + "\n";
    }
    out += ".fi\n.SH DESCRIPTION\n" + help_blocks(help);
    if (!installed_program.empty()) {
        out += ".SH FILES\n.TP\n.I " + quoted_argument(installed_program) + "\n" +
               "The program as installed, not on the search path: it writes into its own "
               "directory. Copy it into the directory where the scenario should appear and run "
               "the copy there.\n";
    }
    return out + see_also_section(see_also);
}

}  // namespace scenario::docgen
