#include "commands/check_command.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "diagnostics/diagnostic_json.h"
#include "io/author_texts.h"
#include "io/json.h"
#include "io/text_encoding.h"
#include "io/texts_request.h"
#include "running_time/run_settings.h"

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
    "[--line FILE] [--train FILE] [--project FILE] [--json] [--strict] [-Wno-NAME ...] "
    "[--color=auto|always|never] "
    "[--all] [--error-limit N]"};
constexpr OptionDescription kOptions[] = {
    {.name = "line", .placeholder = "FILE", .kind = ValueKind::file},
    {.name = "train", .placeholder = "FILE", .kind = ValueKind::file},
    kProjectOption,
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
    {.name = "all", .help = "every diagnostic, none folded into a count"},
    {.name = "error-limit",
     .placeholder = "N",
     .help = "list at most N errors (default 20; 0 for all)"},
};
constexpr ListItem kFindings[] = {
    {"errors",
     "every fault the build records, with the other party of a cell that\n"
     "was taken; a reading failure by its record and value"},
    {"warnings",
     "each place where the build drops, clips, rounds or re-reads what\n"
     "was written, and what an author seldom means"},
};
constexpr Paragraph kParagraphs[] = {
    {.text = "Reads both texts once, as the build reads them, and reports every problem in\n"
             "source order, writing nothing; where a fault stops the build's reading, the\n"
             "check reads on at the next line:"},
    {.kind = ParagraphKind::list, .items = kFindings, .follows = true},
    {.text = "Each cause is told once: records past the end of a route typed too short are\n"
             "one error at the route length, repeats of a kind beyond three are counted.\n"
             "Each is FILE:LINE:COL: error N: ... or FILE:LINE:COL: warning: ... [-WNAME],\n"
             "with the line, a caret under the value, notes and a hint, as compilers print\n"
             "them; an editor that reads such lines can jump to each.",
     .follows = true},
    {.text = kProjectParagraph},
    {.text = "The project's [run] settings (scenario-tool run --help) give the train and the\n"
             "threshold that timetable-too-tight and timetable-margin-low are judged by."},
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

std::int32_t error_limit(const std::string& given) {
    std::int32_t limit = 0;
    const auto [end, ec] = std::from_chars(given.data(), given.data() + given.size(), limit);
    if (ec != std::errc() || end != given.data() + given.size() || limit < 0) {
        throw UsageError("--error-limit takes a number of errors, 0 for no limit, not '" +
                         valid_utf8(given) + "'");
    }
    return limit;
}

}  // namespace

std::span<const std::string_view> warning_names() {
    static const auto names = [] {
        std::vector<std::string_view> names;
        for (const auto& warning : compiler::warning_entries()) {
            names.push_back(warning.name);
        }
        return names;
    }();
    return names;
}

const CommandDescription& check_description() {
    return kDescription;
}

std::vector<Diagnostic> check_files(const fs::path& line_file, const fs::path& train_file,
                                    const DiagnoseOptions& options) {
    SourceFile line(shown(line_file), read_input(line_file, "line description"));
    SourceFile train(shown(train_file), read_input(train_file, "train service text"));
    ReadScenario scenario;
    ReadRequest request;
    request.reading.plans = false;
    read_scenario(scenario, line, train, request);
    if (looks_like_train_text(scenario)) {
        // Read the other way round: when that reads as a line text, the two were swapped, and
        // what the first reading found follows from it.
        ReadScenario swapped;
        read_scenario(swapped, train, line, request);
        if (!swapped.state.cells.empty()) {
            compiler::Occurrence swap;
            swap.id = compiler::Diag::texts_swapped;
            swap.text = compiler::ErrorSource::line_text;
            swap.arguments = {{"is", "train"}, {"given", "line"}};
            Diagnostic d = diagnostic_of(scenario, swap);
            d.place = {scenario.line.name(), 0, 0, 0, {}};
            d.hint = "give the line description with --line and the train text with --train";
            return {d};
        }
    }
    return diagnose(scenario, options);
}

int check_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    DiagnoseOptions options;
    for (const auto& name : parsed.all("-Wno-")) {
        options.silenced.insert(name);
    }
    options.strict = parsed.flag("strict");
    options.all = parsed.flag("all");
    if (const auto limit = parsed.value("error-limit")) {
        options.error_limit = error_limit(*limit);
    }
    const bool colour = colour_wanted(parsed.value("color").value_or("auto"));
    const auto texts = resolve_texts(parsed, {.line = true, .train = true});
    if (texts.project) {
        // The timetable is judged for the train the project describes.
        running_time::apply_project_settings(options.run, *texts.project);
    }
    const auto diagnostics = check_files(texts.line_text, texts.train_text, options);
    if (parsed.flag("json")) {
        Json json = Json::object();
        write_json(json, diagnostics);
        out << json_text(json) << '\n';
    } else {
        err << render_text(diagnostics, colour) << closing_line(diagnostics);
    }
    return has_errors(diagnostics) ? kExitTextFault : kExitClean;
}

}  // namespace scenario::tool
