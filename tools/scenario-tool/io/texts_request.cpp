#include "io/texts_request.h"

#include <array>
#include <vector>

#include "cli/exit_status.h"
#include "io/text_encoding.h"
#include "io/windows_1252_argument.h"

namespace scenario::tool {

namespace fs = std::filesystem;

namespace {

struct Part {
    std::string_view option;       // and the project's key
    std::string_view placeholder;  // its value in a message
    bool TextParts::*asked;
};
constexpr std::array<Part, 5> kParts = {{{"line", "FILE", &TextParts::line},
                                         {"train", "FILE", &TextParts::train},
                                         {"title", "TITLE", &TextParts::title},
                                         {"code", "CODE", &TextParts::code},
                                         {"out", "DIR", &TextParts::out}}};
enum Index { line, train, title, code, out };

// "a, b and c"
std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    }
    return text;
}

std::string name_from_project(const Project& project, const ProjectValue& value,
                              std::string_view key) {
    auto bytes = utf8_to_1252(value.text);
    if (!bytes) {
        throw ProjectError(shown(project.file), value.line, value.column,
                           "'" + std::string(key) +
                               "' holds a character that the scenario files (Windows-1252) "
                               "cannot hold");
    }
    return *bytes;
}

std::string name_from_file(const std::string& name, const fs::path& file, std::string_view what) {
    auto bytes = utf8_to_1252(name);
    if (!bytes) {
        throw UsageError("the " + std::string(what) + " that the name '" + shown(file) +
                         "' gives holds a character that the scenario files (Windows-1252) "
                         "cannot hold");
    }
    return *bytes;
}

}  // namespace

TextsRequest resolve_texts(const ParsedArguments& parsed, const TextParts& required,
                           const TextParts& optional) {
    std::array<std::optional<std::string>, kParts.size()> given;
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        const bool needed = required.*kParts[i].asked;
        if (needed || optional.*kParts[i].asked) {
            given[i] = parsed.value(kParts[i].option);
            if (!given[i]) {
                missing.push_back("--" + std::string(kParts[i].option));
            }
        }
    }
    const auto named = parsed.value("project");
    std::optional<TextPair> pair;
    if (named) {
        pair = texts_of(read_project(*named));
    } else if (!missing.empty()) {
        try {
            pair = texts_in({});
        } catch (const UsageError& ambiguous) {
            // A folder of several pairs is no fault when every part needed was given.
            bool needed = false;
            for (std::size_t i = 0; i < kParts.size(); ++i) {
                needed = needed || (required.*kParts[i].asked && !given[i]);
            }
            if (needed) {
                throw UsageError("missing " + listed(missing) + ", and " + ambiguous.what());
            }
        }
    }
    const Project* project = pair && pair->project ? &*pair->project : nullptr;

    const auto wants = [&](Index i) {
        return required.*kParts[i].asked || optional.*kParts[i].asked;
    };
    TextsRequest request;
    std::array<bool, kParts.size()> found{};
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        found[i] = given[i].has_value();
    }
    if (given[line]) {
        request.line_text = path_argument(*given[line]);
    } else if (pair && wants(line)) {
        request.line_text = pair->line_text;
        found[line] = true;
    }
    if (given[train]) {
        request.train_text = path_argument(*given[train]);
    } else if (pair && wants(train)) {
        request.train_text = pair->train_text;
        found[train] = true;
    }
    if (given[title]) {
        request.LineTitle = windows_1252_argument(*given[title], "title");
    } else if (project != nullptr && project->title && wants(title)) {
        request.LineTitle = name_from_project(*project, *project->title, "title");
        found[title] = true;
    } else if (pair && project == nullptr && !given[line] && wants(title)) {
        // The builder's names: the title is the line text's, and goes only with it.
        request.LineTitle = name_from_file(pair->title, pair->line_text, "title");
        found[title] = true;
    }
    if (given[code]) {
        request.TrainCode = windows_1252_argument(*given[code], "code");
    } else if (project != nullptr && project->code && wants(code)) {
        request.TrainCode = name_from_project(*project, *project->code, "code");
        found[code] = true;
    } else if (pair && project == nullptr && !given[train] && wants(code)) {
        request.TrainCode = name_from_file(pair->code, pair->train_text, "code");
        found[code] = true;
    }
    if (given[out]) {
        request.out_directory = path_argument(*given[out]);
    } else if (project != nullptr && project->out && wants(out)) {
        request.out_directory = project->path_of(*project->out);
        found[out] = true;
    }
    if (project != nullptr) {
        request.project = *project;
    }

    std::vector<std::string> options;
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < kParts.size(); ++i) {
        if (required.*kParts[i].asked && !found[i]) {
            options.push_back("--" + std::string(kParts[i].option));
            keys.push_back("'" + std::string(kParts[i].option) + " = " +
                           std::string(kParts[i].placeholder) + "'");
        }
    }
    if (!options.empty()) {
        const std::string where =
            project != nullptr ? "'" + shown(project->file) + "'" : "a scenario.ini in this folder";
        throw UsageError("missing " + listed(options) + ": give " +
                         (options.size() == 1 ? "it" : "them") + ", or write " + listed(keys) +
                         " in " + where);
    }
    return request;
}

}  // namespace scenario::tool
