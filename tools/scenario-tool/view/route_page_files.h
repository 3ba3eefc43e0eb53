#pragma once

#include <string_view>

// The files of view/page as the build embeds them (cmake/embed_route_page.cmake writes their
// definitions): the template, the style and the scripts of scripts.txt joined in order.
namespace scenario::tool::route_page_files {

extern const std::string_view page_template;
extern const std::string_view style;
extern const std::string_view script;

}  // namespace scenario::tool::route_page_files
