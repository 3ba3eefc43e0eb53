#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/command_description.h"
#include "cli/command_line.h"
#include "io/project_file.h"

namespace scenario::tool {

// Which of --line, --train, --title, --code and --out a command takes.
struct TextParts {
    bool line = false;
    bool train = false;
    bool title = false;
    bool code = false;
    bool out = false;
};

// The texts of one command and what goes with them, wherever each came from.
struct TextsRequest {
    std::filesystem::path line_text;
    std::filesystem::path train_text;
    std::string LineTitle;  // Windows-1252 bytes, as the scenario's files hold it
    std::string TrainCode;  // likewise
    std::filesystem::path out_directory;
    std::optional<Project> project;  // the project read, when one was: its [run] settings
};

// The two texts' options of the commands that compile them.
inline constexpr OptionDescription kLineOption{
    .name = "line",
    .placeholder = "FILE",
    .kind = ValueKind::file,
    .help = "the line description (format of <title>_linea.txt)"};
inline constexpr OptionDescription kTrainOption{
    .name = "train",
    .placeholder = "FILE",
    .kind = ValueKind::file,
    .help = "the train service text (format of <title>_<code>-.txt)"};

// The option every command that reads a project declares.
inline constexpr OptionDescription kProjectOption{
    .name = "project",
    .placeholder = "FILE",
    .kind = ValueKind::file,
    .help = "the project file naming the texts (default: scenario.ini here)",
    .extension = "ini"};

// The paragraph of their help that says where the options not given come from.
inline constexpr std::string_view kProjectParagraph =
    "The texts and their names, when not given, come from the project file: scenario.ini\n"
    "in the current directory, or the one --project names, whose paths are taken from its\n"
    "own folder; or, where there is none, from the builder's names of the texts there:\n"
    "one <title>_linea.txt and one <title>_<code>-.txt give the texts, title and code.";

// Each part the command takes, from its command line or, when not given there, from the
// project: the file --project names, or else what the current directory gives (texts_in).
// From the builder's names, the title comes only with the line text it is read from, and the
// code only with the train text. A part of `required` that is still missing throws UsageError
// naming every one missing and the key of the project that would give it; a part of
// `optional` stays empty. The folder is read only when --project is given or a part is
// missing. The command's description declares "project" and each option asked for, none of
// them required.
TextsRequest resolve_texts(const ParsedArguments& parsed, const TextParts& required,
                           const TextParts& optional = {});

}  // namespace scenario::tool
