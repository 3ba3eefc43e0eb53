#pragma once

#include <string>
#include <string_view>

namespace scenario::tool {

// The parts the page is made of: the template (route.html) with its three placeholders, the
// style and the joined script.
struct RoutePageParts {
    std::string_view page_template;
    std::string_view style;
    std::string_view script;
};

// The parts of view/page as the build embeds them into the tool.
RoutePageParts built_in_page_parts();

// JSON as it may stand inside a script element: every '<' written \u003c, so that no text in
// it can close the element. Only strings hold a '<' in JSON, and there the escape reads the same.
std::string script_safe(std::string_view json);

// The whole page: the template with the style, the script and the data in their places,
// replaced in one pass so that nothing inlined is taken for a placeholder. Throws
// std::logic_error when the template lacks a placeholder.
std::string route_page(const RoutePageParts& parts, std::string_view data_json);

// The script a watched page loads beside it (PAGE.watch.js): the stamp of the page written
// last, which the open page compares with its own.
std::string watch_script(std::string_view stamp);

}  // namespace scenario::tool
