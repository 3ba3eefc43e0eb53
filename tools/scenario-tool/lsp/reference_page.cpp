#include "lsp/reference_page.h"

#include <cstdlib>
#include <system_error>

#include "files/replace_file.h"
#include "inspect/format_reference.h"
#include "lsp/text_names.h"

#ifndef SCENARIO_VERSION
#define SCENARIO_VERSION "unknown"
#endif

namespace scenario::tool::lsp {

namespace fs = std::filesystem;

fs::path user_cache_folder() {
#ifdef _WIN32
    if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local != nullptr && *local != 0) {
        return fs::path(local) / "scenario-tool";
    }
#else
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache == '/') {
        return fs::path(cache) / "scenario-tool";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return fs::path(home) / ".cache" / "scenario-tool";
    }
#endif
    return {};
}

std::string reference_page_uri(const fs::path& cache_folder) {
    if (cache_folder.empty()) {
        return {};
    }
    const auto page = cache_folder / ("text-format-" SCENARIO_VERSION ".md");
    const auto text = format_reference(ReferenceStyle::markdown);
    try {
        std::error_code ec;
        fs::create_directories(cache_folder, ec);
        if (!fs::exists(page, ec) || files::read_file(page) != text) {
            files::replace_file(page, text, files::Flush::not_needed);
        }
    } catch (const files::FileError&) {
        return {};
    }
    return uri_of_path(fs::absolute(page));
}

}  // namespace scenario::tool::lsp
