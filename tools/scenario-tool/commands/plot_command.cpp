#include "commands/plot_command.h"

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "commands/check_command.h"
#include "files/replace_file.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/text_encoding.h"
#include "reading/author_reading.h"
#include "view/scenario_view.h"
#include "view/svg_plot.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSynopsis[] = {
    "DIR --out FILE.svg [--title TITLE --code CODE] [--force] [--no-lock]",
    "[DIR] --line FILE --train FILE --out FILE.svg [--title TITLE --code CODE] [--force] "
    "[--no-lock]"};
constexpr OptionDescription kOptions[] = {
    {.name = "out",
     .placeholder = "FILE.svg",
     .kind = ValueKind::file,
     .required = true,
     .extension = "svg"},
    {.name = "title", .placeholder = "TITLE", .names_scenario = true},
    {.name = "code", .placeholder = "CODE", .names_scenario = true},
    {.name = "line", .placeholder = "FILE", .kind = ValueKind::file},
    {.name = "train", .placeholder = "FILE", .kind = ValueKind::file},
    {.name = "force"},
    {.name = "no-lock"},
};
constexpr ArgumentDescription kArguments[] = {{"DIR", ValueKind::directory}};
constexpr Paragraph kParagraphs[] = {
    {.text = "Draws a scenario as one SVG picture: the track plan with the stations, the\n"
             "signals and the slowdown marked on it, and below it the profile along the route:\n"
             "gradient, height, speed limit, adhesion, mountain spans and station zones.\n"
             "Without texts it draws the compiled scenario in DIR, from its compact files; DIR\n"
             "must hold one scenario (.sim), or --title and --code choose one."},
    {.text = "With --line FILE and --train FILE it draws those texts, read once as check reads\n"
             "them and compiled in memory, and marks the problems check finds on the profile\n"
             "at their positions (red errors, orange warnings; the message as a tooltip). The\n"
             "title and the code come from --title and --code, else from the one scenario in\n"
             "DIR when DIR is given, else from the texts' names. --force replaces a read-only\n"
             "FILE.svg; --no-lock writes even where its directory cannot be locked."},
};

constexpr CommandDescription kDescription{
    .name = "plot",
    .summary = "draw a compiled scenario or its texts as one SVG picture",
    .listed_arguments = "DIR --out SVG",
    .synopsis = kSynopsis,
    .options = kOptions,
    .arguments = kArguments,
    .paragraphs = kParagraphs,
};

struct Names {
    std::optional<std::string> title;  // Windows-1252
    std::optional<std::string> code;
};

// The view of the texts themselves: one reading, as check reads them, with the plan; their
// problems marked where they lie.
ScenarioView view_of_texts(const fs::path& line, const fs::path& train, const Names& names) {
    SourceFile line_file(shown(line), read_input(line, "line description"));
    SourceFile train_file(shown(train), read_input(train, "train service text"));
    ReadScenario scenario;
    ReadRequest request;
    request.LineTitle = names.title.value_or("");
    request.TrainCode = names.code.value_or("");
    try {
        read_scenario(scenario, line_file, train_file, request);
    } catch (const std::length_error&) {
        // Only the packing failed: the cells and the plan are whole, and check says why.
    }
    const auto diagnostics =
        looks_like_train_text(scenario) ? check_files(line, train, {}) : diagnose(scenario, {});
    const std::vector<compiler::LocationEntry> locations(scenario.state.locations.begin(),
                                                         scenario.state.locations.end());
    std::optional<compiler::PathPoints> plan;
    if (scenario.state.plan.allocated()) {
        plan = std::move(scenario.state.plan);
    }
    auto view = make_view(locations, scenario.state.cells, std::move(plan));
    for (const auto& d : diagnostics) {
        if (d.position) {
            view.diagnostics.push_back({*d.position, d.severity == Severity::error,
                                        (d.severity == Severity::error ? "error " : "warning ") +
                                            d.code + ": " + d.message});
        }
    }
    return view;
}

}  // namespace

const CommandDescription& plot_description() {
    return kDescription;
}

int plot_command(std::span<const std::string> args, std::ostream& out, std::ostream& /*err*/) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    const fs::path target = path_argument(parsed.required("out"));
    const WriteRules rules = write_rules(parsed);
    Names names;
    for (const auto& [option, slot] :
         {std::pair{"title", &names.title}, std::pair{"code", &names.code}}) {
        if (const auto given = parsed.value(option)) {
            *slot = utf8_to_1252(*given);
            if (!*slot) {
                throw UsageError(std::string("--") + option +
                                 " holds a character that Windows-1252 cannot hold");
            }
        }
    }
    if (names.title.has_value() != names.code.has_value()) {
        throw UsageError("--title and --code go together");
    }
    const auto line_text = parsed.value("line");
    const auto train_text = parsed.value("train");
    if (line_text.has_value() != train_text.has_value()) {
        throw UsageError("--line and --train go together");
    }
    if (!line_text) {
        expect_positionals(parsed, 1, "the directory DIR");
    } else if (parsed.positionals.size() > 1) {
        throw UsageError("unexpected argument '" + parsed.positionals[1] + "'");
    }
    check_output(target, {}, rules);
    ScenarioView view;
    if (line_text) {
        const fs::path texts[] = {path_argument(*line_text), path_argument(*train_text)};
        check_output(target, texts, rules);
        if (!names.title) {
            if (!parsed.positionals.empty()) {
                auto found = scenario_names(path_argument(parsed.positionals[0]));
                const fs::path read_from[] = {found.read_from};
                check_output(target, read_from, rules);
                names.title = std::move(found.title);
                names.code = std::move(found.code);
            } else {
                const auto [title, code] = names_from_texts(texts[0], texts[1]);
                names.title = utf8_to_1252(title);
                names.code = utf8_to_1252(code);
            }
        }
        view = view_of_texts(texts[0], texts[1], names);
    } else {
        view = load_view(path_argument(parsed.positionals[0]), names.title, names.code);
        check_output(target, view.read_from, rules);
    }
    // The picture's directory is held as every output's is, so that no other writer's clean-up
    // takes its temporary for one left by a killed run.
    const OutputDirectoryLock lock(
        target.parent_path().empty() ? fs::path(".") : target.parent_path(), rules);
    try {
        files::replace_file(target, render_svg(view), files::Flush::to_disk, rules.read_only);
    } catch (const files::FileError& failure) {
        throw EnvironmentError(failure.what());
    }
    out << escape_controls(shown(target)) << '\n';
    return kExitClean;
}

}  // namespace scenario::tool
