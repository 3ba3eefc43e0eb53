#include "io/project_file.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "files/input_file.h"
#include "files/replace_file.h"
#include "files/utf8.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace fs = std::filesystem;

namespace {

// A project names a few files and names; anything near this size is no project file.
constexpr std::uint64_t kLargestProject = std::uint64_t{1} << 20;

constexpr std::string_view kLineSuffix = "_linea.txt";
constexpr std::string_view kTrainSuffix = "-.txt";

constexpr std::string_view kRunSection = "run";

// `name` from `folder`, written as the author would type it from there: no "./" before it.
fs::path joined(const fs::path& folder, const fs::path& name) {
    if (folder.empty() || folder == "." || name.is_absolute()) {
        return name;
    }
    return folder / name;
}

// The bytes of a file name: what the author typed on Windows (as UTF-8), the bytes on disk
// elsewhere.
std::string name_bytes(const fs::path& path) {
    const auto name = path.filename().u8string();
    return std::string(name.begin(), name.end());
}

// A file in a folder, by its name as a path and as bytes.
struct DiskName {
    fs::path name;
    std::string bytes;
};

// A part of a file name from the disk as UTF-8: the builder writes its names in Windows-1252
// bytes, an author's editor most often in UTF-8; the whole name tells which.
std::string utf8_name(std::string_view whole, std::string_view part) {
    return files::is_valid_utf8(whole) ? std::string(part) : utf8_from_1252(part);
}

bool blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// How many bytes at the start of `text` are UTF-8.
std::size_t valid_utf8_prefix(std::string_view text) {
    std::size_t valid = 0;
    while (const auto sequence = files::decode_utf8(text.substr(valid))) {
        valid += sequence->length;
    }
    return valid;
}

// The characters of a line before byte `offset`, plus one: its column.
int column_at(std::string_view line, std::size_t offset) {
    const auto before = line.substr(0, offset);
    return 1 + static_cast<int>(std::count_if(before.begin(), before.end(), [](char c) {
               return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
           }));
}

class ProjectParser {
  public:
    ProjectParser(const fs::path& file, std::string_view bytes) : bytes_(bytes) {
        project_.file = file;
        project_.folder = file.parent_path();
    }

    Project parse() {
        if (bytes_.starts_with("\xEF\xBB\xBF")) {
            bytes_.remove_prefix(3);  // the mark some Windows editors put before UTF-8
        }
        int number = 0;
        while (!bytes_.empty()) {
            const auto end = std::min(bytes_.find('\n'), bytes_.size());
            std::string_view line = bytes_.substr(0, end);
            bytes_.remove_prefix(std::min(end + 1, bytes_.size()));
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            read_line(line, ++number);
        }
        if (!line_) {
            fail(1, 1, "the project names no line description (line = FILE)");
        }
        if (!train_) {
            fail(1, 1, "the project names no train service text (train = FILE)");
        }
        project_.line = std::move(*line_);
        project_.train = std::move(*train_);
        return std::move(project_);
    }

  private:
    [[noreturn]] void fail(int line, int column, const std::string& message) const {
        throw ProjectError(shown(project_.file), line, column, message);
    }

    void read_line(std::string_view line, int number) {
        if (const auto valid = valid_utf8_prefix(line); valid != line.size()) {
            fail(number, column_at(line, valid),
                 "this is not UTF-8; save the project file as UTF-8");
        }
        const auto control = std::find_if(line.begin(), line.end(), [](char c) {
            return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
        });
        if (control != line.end()) {
            fail(number, column_at(line, static_cast<std::size_t>(control - line.begin())),
                 "a control character: " + escape_controls(std::string(1, *control)));
        }
        const auto text = trimmed(line);
        if (text.empty() || text.front() == '#' || text.front() == ';') {
            return;
        }
        const auto start = static_cast<std::size_t>(text.data() - line.data());
        if (text.front() == '[') {
            read_section(text, number, column_at(line, start));
            return;
        }
        const auto equals = text.find('=');
        if (equals == std::string_view::npos) {
            fail(number, column_at(line, start),
                 "expected 'key = value', a [section] or a comment");
        }
        const auto key = trimmed(text.substr(0, equals));
        if (key.empty()) {
            fail(number, column_at(line, start), "a key is missing before '='");
        }
        const bool word = std::all_of(key.begin(), key.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-' || c == '.';
        });
        if (!word) {
            fail(number, column_at(line, start),
                 "the key '" + std::string(key) +
                     "' is no key: a key is one word of letters, digits, '_', '-' and '.'");
        }
        const auto written = trimmed(text.substr(equals + 1));
        ProjectValue value{std::string(written), number,
                           column_at(line, static_cast<std::size_t>(written.data() - line.data()))};
        if (value.text.empty()) {
            fail(number, column_at(line, start), "'" + std::string(key) + "' has no value");
        }
        if (value.text.size() >= 2 && (value.text.front() == '"' || value.text.front() == '\'') &&
            value.text.back() == value.text.front()) {
            fail(number, value.column,
                 "the value of '" + std::string(key) + "' is in quotes; values take none");
        }
        store(key, std::move(value), number, column_at(line, start));
    }

    void read_section(std::string_view text, int number, int column) {
        if (!text.ends_with(']')) {
            fail(number, column, "a section is written [name], alone on its line");
        }
        const auto name = trimmed(text.substr(1, text.size() - 2));
        if (name != kRunSection) {
            fail(number, column,
                 "unknown section [" + std::string(name) + "]; the only section is [run]");
        }
        if (run_section_line_ != 0) {
            fail(number, column,
                 "the section [run] is given twice; first on line " +
                     std::to_string(run_section_line_));
        }
        run_section_line_ = number;
    }

    void store(std::string_view key, ProjectValue value, int number, int column) {
        const auto twice = [&](int first) {
            fail(number, column,
                 "'" + std::string(key) + "' is given twice; first on line " +
                     std::to_string(first));
        };
        if (run_section_line_ != 0) {
            for (const auto& setting : project_.run) {
                if (setting.key == key) {
                    twice(setting.value.line);
                }
            }
            project_.run.push_back({std::string(key), std::move(value), column});
            return;
        }
        std::optional<ProjectValue>* slot = key == "line"    ? &line_
                                            : key == "train" ? &train_
                                            : key == "title" ? &project_.title
                                            : key == "code"  ? &project_.code
                                            : key == "out"   ? &project_.out
                                                             : nullptr;
        if (slot == nullptr) {
            fail(number, column,
                 "unknown key '" + std::string(key) +
                     "'; a project takes line, train, title, code and out, and under [run] the "
                     "settings of the running-time check");
        }
        if (*slot) {
            twice((*slot)->line);
        }
        *slot = std::move(value);
    }

    std::string_view bytes_;
    Project project_;
    std::optional<ProjectValue> line_;  // required: checked at the end
    std::optional<ProjectValue> train_;
    int run_section_line_ = 0;
};

}  // namespace

fs::path Project::path_of(const ProjectValue& value) const {
    return joined(folder, path_argument(value.text));
}

std::string Project::place_of(const ProjectValue& value) const {
    return shown(file) + ":" + std::to_string(value.line) + ":" + std::to_string(value.column) +
           ": ";
}

ProjectError::ProjectError(std::string file, int line, int column, std::string message)
    : EnvironmentError(file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
                       message),
      file_(std::move(file)),
      line_(line),
      column_(column),
      message_(std::move(message)) {}

std::optional<fs::path> find_project(const fs::path& folder) {
    auto file = joined(folder, fs::path(kProjectFileName));
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) {
        return std::nullopt;
    }
    return file;
}

Project parse_project(const fs::path& file, std::string_view bytes) {
    return ProjectParser(file, bytes).parse();
}

Project read_project(const fs::path& file) {
    std::string bytes;
    try {
        bytes = files::read_input_file(file, kLargestProject, "a project file can need");
    } catch (const files::FileError& failure) {
        throw EnvironmentError("the project file cannot be read: " + std::string(failure.what()));
    }
    return parse_project(file, bytes);
}

TextPair texts_of(Project project) {
    TextPair pair;
    pair.line_text = project.path_of(project.line);
    pair.train_text = project.path_of(project.train);
    pair.title = project.title ? project.title->text : std::string();
    pair.code = project.code ? project.code->text : std::string();
    pair.project = std::move(project);
    return pair;
}

std::optional<TextPair> texts_in(const fs::path& folder) {
    if (const auto file = find_project(folder)) {
        return texts_of(read_project(*file));
    }
    const fs::path listed = folder.empty() ? fs::path(".") : folder;
    std::vector<DiskName> lines;
    std::vector<DiskName> trains;
    std::error_code ec;
    for (fs::directory_iterator it(listed, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code type_ec;
        if (!it->is_regular_file(type_ec)) {
            continue;
        }
        DiskName name{it->path().filename(), name_bytes(it->path())};
        if (name.bytes.ends_with(kLineSuffix) && name.bytes.size() > kLineSuffix.size()) {
            lines.push_back(std::move(name));
        } else if (name.bytes.ends_with(kTrainSuffix)) {
            trains.push_back(std::move(name));
        }
    }
    if (ec) {
        throw EnvironmentError("the folder '" + shown(listed) +
                               "' cannot be listed: " + ec.message());
    }
    const auto no_pair = [&](std::string_view kind, std::vector<DiskName> names) {
        std::sort(names.begin(), names.end(),
                  [](const auto& a, const auto& b) { return a.bytes < b.bytes; });
        std::string list;
        for (std::size_t i = 0; i < names.size(); ++i) {
            list += (i == 0                  ? "'"
                     : i + 1 == names.size() ? " and '"
                                             : ", '") +
                    utf8_name(names[i].bytes, names[i].bytes) + "'";
        }
        return UsageError("the builder's names pair no texts in '" + shown(listed) + "': " + list +
                          " are " + std::string(kind) + "; a scenario.ini there names the pair");
    };
    if (lines.size() > 1) {
        throw no_pair("line descriptions", lines);
    }
    if (lines.empty()) {
        return std::nullopt;
    }
    const auto& line = lines.front();
    const std::string_view title(line.bytes.data(), line.bytes.size() - kLineSuffix.size());
    std::vector<DiskName> matching;
    for (auto& train : trains) {
        if (train.bytes.size() > title.size() + 1 + kTrainSuffix.size() &&
            train.bytes.starts_with(title) && train.bytes[title.size()] == '_') {
            matching.push_back(std::move(train));
        }
    }
    if (matching.size() > 1) {
        throw no_pair("train service texts of '" + utf8_name(line.bytes, line.bytes) + "'",
                      matching);
    }
    if (matching.empty()) {
        return std::nullopt;
    }
    const auto& train = matching.front();
    const auto code_at = title.size() + 1;
    TextPair pair;
    pair.line_text = joined(folder, line.name);
    pair.train_text = joined(folder, train.name);
    pair.title = utf8_name(line.bytes, title);
    pair.code = utf8_name(train.bytes,
                          std::string_view(train.bytes)
                              .substr(code_at, train.bytes.size() - code_at - kTrainSuffix.size()));
    return pair;
}

}  // namespace scenario::tool
