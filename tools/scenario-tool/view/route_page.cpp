#include "view/route_page.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "io/json.h"
#include "view/route_page_files.h"

namespace scenario::tool {

namespace {

constexpr std::string_view kStyleMark = "/*@route.css@*/";
constexpr std::string_view kScriptMark = "/*@route.js@*/";
constexpr std::string_view kDataMark = "@route-data@";

}  // namespace

RoutePageParts built_in_page_parts() {
    return {route_page_files::page_template, route_page_files::style, route_page_files::script};
}

std::string script_safe(std::string_view json) {
    std::string out;
    out.reserve(json.size() + json.size() / 64);
    for (const char c : json) {
        if (c == '<') {
            out += "\\u003c";
        } else {
            out += c;
        }
    }
    return out;
}

std::string route_page(const RoutePageParts& parts, std::string_view data_json) {
    const std::string data = script_safe(data_json);
    struct Piece {
        std::string_view mark;
        std::string_view text;
        std::size_t at;
    };
    std::array<Piece, 3> pieces{
        {{kStyleMark, parts.style, 0}, {kScriptMark, parts.script, 0}, {kDataMark, data, 0}}};
    for (auto& p : pieces) {
        p.at = parts.page_template.find(p.mark);
        if (p.at == std::string_view::npos) {
            throw std::logic_error("the page template lacks " + std::string(p.mark));
        }
    }
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece& a, const Piece& b) { return a.at < b.at; });
    std::string page;
    page.reserve(parts.page_template.size() + parts.style.size() + parts.script.size() +
                 data.size());
    std::size_t from = 0;
    for (const auto& p : pieces) {
        if (p.at < from) {
            throw std::logic_error("the page template's placeholders overlap");
        }
        page.append(parts.page_template.substr(from, p.at - from));
        page.append(p.text);
        from = p.at + p.mark.size();
    }
    page.append(parts.page_template.substr(from));
    return page;
}

std::string watch_script(std::string_view stamp) {
    return "window.routeWatchStamp = " + script_safe(json_text(json_string(stamp))) + ";\n";
}

}  // namespace scenario::tool
