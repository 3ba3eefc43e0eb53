#include "commands/plot_command.h"

#include <filesystem>
#include <optional>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "commands/check_command.h"
#include "files/replace_file.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/text_encoding.h"
#include "view/scenario_view.h"
#include "view/svg_plot.h"

namespace scenario::tool {

namespace {

constexpr std::string_view kSynopsis[] = {
    "DIR --out FILE.svg [--title TITLE --code CODE] [--line FILE --train FILE] [--force] "
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
    {.text = "Draws the compiled scenario in DIR as one SVG picture: the track plan from\n"
             "<title>_linea.dat with the stations, the signals and the slowdown marked on it,\n"
             "and below it the profile along the route: gradient, height, speed limit,\n"
             "adhesion, mountain spans and station zones. DIR must hold one scenario (.sim);\n"
             "--title and --code choose one when it holds several. With --line FILE and\n"
             "--train FILE the problems 'check' finds in those texts are marked on the profile\n"
             "at their positions (red errors, orange warnings; the message as a tooltip).\n"
             "--force replaces a read-only FILE.svg; --no-lock writes even where its directory\n"
             "cannot be locked."},
};

constexpr CommandDescription kDescription{
    .name = "plot",
    .summary = "draw a compiled scenario as one SVG picture",
    .listed_arguments = "DIR --out SVG",
    .synopsis = kSynopsis,
    .options = kOptions,
    .arguments = kArguments,
    .paragraphs = kParagraphs,
};

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
    expect_positionals(parsed, 1, "the directory DIR");
    const std::filesystem::path target = path_argument(parsed.required("out"));
    const WriteRules rules = write_rules(parsed);
    std::optional<std::string> title;
    std::optional<std::string> code;
    for (const auto& [option, slot] : {std::pair{"title", &title}, std::pair{"code", &code}}) {
        if (const auto given = parsed.value(option)) {
            *slot = utf8_to_1252(*given);
            if (!*slot) {
                throw UsageError(std::string("--") + option +
                                 " holds a character that Windows-1252 cannot hold");
            }
        }
    }
    if (title.has_value() != code.has_value()) {
        throw UsageError("--title and --code go together");
    }
    const auto line_text = parsed.value("line");
    const auto train_text = parsed.value("train");
    if (line_text.has_value() != train_text.has_value()) {
        throw UsageError("--line and --train go together");
    }
    check_output(target, {}, rules);
    auto view = load_view(path_argument(parsed.positionals[0]), title, code);
    check_output(target, view.read_from, rules);
    if (line_text) {
        const std::filesystem::path texts[] = {path_argument(*line_text),
                                               path_argument(*train_text)};
        check_output(target, texts, rules);
        for (const auto& d : check_files(texts[0], texts[1], {})) {
            if (d.position) {
                view.diagnostics.push_back(
                    {*d.position, d.severity == Severity::error,
                     (d.severity == Severity::error ? "error " : "warning ") + d.code + ": " +
                         d.message});
            }
        }
    }
    // The picture's directory is held as every output's is, so that no other writer's clean-up
    // takes its temporary for one left by a killed run.
    const auto directory =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    const OutputDirectoryLock lock(directory, rules);
    try {
        files::replace_file(target, render_svg(view), files::Flush::to_disk, rules.read_only);
    } catch (const files::FileError& failure) {
        throw EnvironmentError(failure.what());
    }
    out << escape_controls(shown(target)) << '\n';
    return kExitClean;
}

}  // namespace scenario::tool
