#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::tool::lsp {

// Which of the author's texts a document is.
enum class TextKind { line, train, project, other };

// What a file's name says: the builder names its line text `<title>_linea.txt` and its train
// text `<title>_<code>-.txt`; a code holds no '_', so the title of a train text is what stands
// before its last '_'.
struct TextName {
    TextKind kind = TextKind::other;
    std::string title;  // UTF-8, as the name holds it
    std::string code;
};
TextName text_name(std::string_view file_name);

// The kind of a document: its name's, else its language's ("scenario-line", "scenario-train").
TextKind text_kind(std::string_view file_name, std::string_view language);

// The file of a `file:` URI, percent-decoded; nothing for any other scheme or a broken URI.
std::optional<std::filesystem::path> path_of_uri(std::string_view uri);
// The last segment of a URI's path, percent-decoded, for documents of any scheme.
std::string uri_file_name(std::string_view uri);
// A `file:` URI for a file the editor has not opened.
std::string uri_of_path(const std::filesystem::path& path);

// The files of a folder whose names pair with this text: for a line text, the train texts of
// its title; for a train text, the line text of its title. Sorted by name.
std::vector<std::filesystem::path> partners_on_disk(const std::filesystem::path& text,
                                                    const TextName& name);
// Whether two names make a pair: a line text and a train text of one title.
bool pairs_with(const TextName& a, const TextName& b);

}  // namespace scenario::tool::lsp
