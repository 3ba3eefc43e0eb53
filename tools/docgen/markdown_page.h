#pragma once

#include <string>
#include <string_view>

#include "help_page.h"

namespace scenario::docgen {

// Running text with Markdown's inline marks (`code`, **strong**, *emphasis*, [links](...),
// backslash escapes) set in roff fonts. Code and strong text are bold, emphasis italic.
std::string inline_markdown(std::string_view text);

// The same text without its marks, for headings.
std::string plain_markdown(std::string_view text);

// A manual page from a Markdown page: the level-one heading gives the NAME line and the text
// before the first level-two heading the DESCRIPTION; "##" headings become sections, "###"
// subsections; paragraphs, bulleted and numbered lists, fenced code and pipe tables follow in
// order (a table row as a tagged paragraph: its leading number and first cell, then the other
// cells by their heading, then the last cell's text).
std::string markdown_page(const PageHeading& heading, std::string_view markdown,
                          const std::vector<std::string>& see_also);

}  // namespace scenario::docgen
