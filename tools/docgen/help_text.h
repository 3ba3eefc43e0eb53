#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scenario::docgen {

// One entry of an indented two-column list in a help text: "  --out DIR   the directory ...".
struct HelpItem {
    std::string term;
    std::string text;  // the description, its continuation lines joined with blanks
};

// A paragraph (lines flush left) or a list of items, in the order of the text.
struct HelpBlock {
    std::vector<std::string> lines;  // a paragraph's lines; empty for a list
    std::vector<HelpItem> items;     // a list's items; empty for a paragraph
};

// A help text as the programs print it: "usage: " with one or more forms of the command line,
// a blank line, then paragraphs and lists. A flush-left line that starts with a label of one or
// two words and a colon ("exit status: ...") begins a paragraph of its own.
struct HelpText {
    std::vector<std::string> forms;  // each form on one line, without "usage: "
    // The lines of the forms as the text breaks them, less the width of "usage: ".
    std::vector<std::string> form_lines;
    std::vector<HelpBlock> blocks;
};

HelpText parse_help(std::string_view text);

// The beginning of the first paragraph up to its first colon or full stop, starting in lower
// case: the one-line summary of a manual page's NAME section.
std::string summary(const HelpText& help);

}  // namespace scenario::docgen
