#include "commands/check_command.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "diagnostics/author_check.h"
#include "diagnostics/warning_catalogue.h"
#include "io/author_texts.h"
#include "io/json_writer.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;

std::span<const std::string_view> colours() {
    static constexpr std::string_view kColours[] = {"auto", "always", "never"};
    return kColours;
}

void refuse_unknown_warning(std::string_view name) {
    const auto names = warning_names();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        throw UsageError("there is no warning '" + valid_utf8(name) +
                         "'; 'scenario-tool explain --list' lists them");
    }
}

constexpr std::string_view kSynopsis[] = {
    "--line FILE --train FILE [--json] [--strict] [-Wno-NAME ...] [--color=auto|always|never]"};
constexpr OptionDescription kOptions[] = {
    {.name = "line", .placeholder = "FILE", .kind = ValueKind::file, .required = true},
    {.name = "train", .placeholder = "FILE", .kind = ValueKind::file, .required = true},
    {.name = "json", .help = "one JSON object with a \"diagnostics\" array on standard output"},
    {.name = "strict", .help = "warnings count as errors"},
    {.name = "-Wno-",
     .placeholder = "NAME",
     .kind = ValueKind::choice,
     .spelling = Spelling::joined,
     .repeats = true,
     .help = "no warnings of that name ('scenario-tool explain --list')",
     .choices = warning_names,
     .check = refuse_unknown_warning},
    {.name = "color",
     .placeholder = "WHEN",
     .kind = ValueKind::choice,
     .spelling = Spelling::equals,
     .help = "colour on a terminal (auto), always or never",
     .choices = colours},
};
constexpr ListItem kFindings[] = {
    {"errors",
     "every fault the build records, and those past the record where the\n"
     "build stops reading; a reading failure by its record and value"},
    {"warnings", "what the readers accept without a fault but an author seldom means"},
};
constexpr Paragraph kParagraphs[] = {
    {.text = "Reads both texts and reports every problem, in source order, writing nothing:"},
    {.kind = ParagraphKind::list, .items = kFindings, .follows = true},
    {.text = "Each is FILE:LINE:COL: error N: ... or FILE:LINE:COL: warning: ... [-WNAME],\n"
             "with the line, a caret under the value, notes and a hint, as compilers print\n"
             "them; an editor that reads such lines can jump to each.",
     .follows = true},
    {.kind = ParagraphKind::options},
    {.kind = ParagraphKind::exit_status,
     .text = "0 no error, 1 errors (or warnings with --strict), 2 wrong usage",
     .follows = true},
};

constexpr CommandDescription kDescription{
    .name = "check",
    .summary = "report every problem of a line and a train text",
    .listed_arguments = "...",
    .synopsis = kSynopsis,
    .options = kOptions,
    .paragraphs = kParagraphs,
};

}  // namespace

std::span<const std::string_view> warning_names() {
    static const auto names = [] {
        std::vector<std::string_view> names;
        for (const auto& warning : warning_catalogue()) {
            names.push_back(warning.name);
        }
        return names;
    }();
    return names;
}

const CommandDescription& check_description() {
    return kDescription;
}

int check_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    CheckOptions options;
    for (const auto& name : parsed.all("-Wno-")) {
        options.silenced.insert(name);
    }
    options.strict = parsed.flag("strict");
    const bool colour = colour_wanted(parsed.value("color").value_or("auto"));
    const fs::path line_file = parsed.required("line");
    const fs::path train_file = parsed.required("train");
    const auto line_bytes = read_input(line_file, "line description");
    const auto train_bytes = read_input(train_file, "train service text");
    const auto diagnostics = check_texts({line_bytes, valid_utf8(line_file.string())},
                                         {train_bytes, valid_utf8(train_file.string())}, options);
    if (parsed.flag("json")) {
        JsonWriter json;
        json.begin_object();
        write_json(json, diagnostics);
        json.end_object();
        out << json.text() << '\n';
    } else {
        err << render_text(diagnostics, colour);
    }
    return has_errors(diagnostics) ? kExitTextFault : kExitClean;
}

}  // namespace scenario::tool
