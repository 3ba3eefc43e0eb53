#include "sources/content_table.h"

#include <stdexcept>

#include "files/replace_file.h"

namespace scenario::sources {

ContentTable content_table(std::span<const std::string_view> lines) {
    if (lines.size() >= kContentSlots) {
        throw std::length_error("a text of " + std::to_string(lines.size()) +
                                " lines does not fit the content table");
    }
    ContentTable table{};
    std::size_t slot = 0;
    for (const auto line : lines) {
        table[slot++] = line;
    }
    table[slot] = kEndMarker;
    return table;
}

std::string render(const ContentTable& table) {
    std::string text;
    for (const auto line : table) {
        if (line == kEndMarker) {
            break;
        }
        text.append(line).append("\r\n");
    }
    return text;
}

void write_content(const std::filesystem::path& file, const ContentTable& table,
                   files::Flush flush) {
    files::replace_file(file, render(table), flush);
}

void add_content(files::OutputSet& set, const std::filesystem::path& file,
                 const ContentTable& table) {
    set.add(file, render(table));
}

}  // namespace scenario::sources
