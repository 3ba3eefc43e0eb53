#pragma once

#include <string_view>

namespace scenario::tool {

// The help texts, one per command and one for the whole tool.
std::string_view tool_help();
std::string_view sources_help();
std::string_view compile_help();
std::string_view dump_help();
std::string_view plot_help();
std::string_view view_help();
std::string_view check_help();
std::string_view explain_help();
std::string_view documents_help();

}  // namespace scenario::tool
