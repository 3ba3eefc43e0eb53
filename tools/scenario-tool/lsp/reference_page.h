#pragma once

#include <filesystem>
#include <string>

namespace scenario::tool::lsp {

// The format reference the diagnostics' codes and the hovers link to: the page `scenario-tool
// help format --markdown` writes, kept in the user's cache folder under this version's name
// (written once, so it always matches the program that links to it, installed or not, on any
// platform). Returns its file URI, or an empty string when it cannot be written.
std::string reference_page_uri(const std::filesystem::path& cache_folder);

// The cache folder: $XDG_CACHE_HOME or ~/.cache on Linux, %LOCALAPPDATA% on Windows, with
// "scenario-tool" below; empty when none is known.
std::filesystem::path user_cache_folder();

}  // namespace scenario::tool::lsp
