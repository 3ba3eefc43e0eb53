#include "commands/view_command.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "commands/check_command.h"
#include "compiler/compile.h"
#include "files/replace_file.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/text_encoding.h"
#include "io/windows_1252_argument.h"
#include "reading/author_reading.h"
#include "view/route_annotations.h"
#include "view/route_data.h"
#include "view/route_page.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSynopsis[] = {
    "--line FILE --train FILE --out PAGE.html [--title TITLE] [--code CODE] [--force] "
    "[--no-lock]"};
constexpr OptionDescription kOptions[] = {
    {.name = "line",
     .placeholder = "FILE",
     .kind = ValueKind::file,
     .required = true,
     .help = "the line description (format of <title>_linea.txt)"},
    {.name = "train",
     .placeholder = "FILE",
     .kind = ValueKind::file,
     .required = true,
     .help = "the train service text (format of <title>_<code>-.txt)"},
    {.name = "out",
     .placeholder = "PAGE",
     .kind = ValueKind::file,
     .required = true,
     .help = "the page to write (replaced when it exists)",
     .extension = "html"},
    {.name = "title",
     .placeholder = "TITLE",
     .help = "the line title, when the text's name does not give it"},
    {.name = "code", .placeholder = "CODE", .help = "the train code, likewise"},
    kForceOption,
    kNoLockOption,
};
constexpr Paragraph kParagraphs[] = {
    {.text = "Compiles the two texts in memory, as compile does, and writes one HTML page that\n"
             "shows the line and the run: the track plan, north up, to pan and zoom, and under\n"
             "it the profile along the route (height, gradient, curves, speed limit and\n"
             "slowdowns, adhesion) on one axis of metres, with a cursor that tells what applies\n"
             "at each metre. Every station, signal, board and span links back to the line of the\n"
             "text that made it, and the problems 'check' finds are listed and marked where they\n"
             "lie. The page is one file and loads nothing: open it in any browser, or send it.\n"
             "PAGE.html#m=37500 opens it at that metre, PAGE.html#find=NAME at that station."},
    {.kind = ParagraphKind::options},
    {.text = "The page is written even when the texts have faults: it shows them."},
    {.kind = ParagraphKind::exit_status,
     .text = "0 written, 1 written and the texts have a fault, 2 wrong usage or\n"
             "unusable files (nothing written)",
     .follows = true},
};

constexpr CommandDescription kDescription{
    .name = "view",
    .summary = "write the route page: plan, profile, records, problems",
    .listed_arguments = "...",
    .synopsis = kSynopsis,
    .options = kOptions,
    .paragraphs = kParagraphs,
};

constexpr std::string_view kLineSuffix = "_linea.txt";
constexpr std::string_view kTrainSuffix = "-.txt";

// The title and the code as the builder's names of the texts give them
// (<title>_linea.txt, <title>_<code>-.txt); empty where the names do not follow that pattern.
std::pair<std::string, std::string> names_from_files(const fs::path& line, const fs::path& train) {
    const std::string l = line.filename().string();
    const std::string t = train.filename().string();
    if (!l.ends_with(kLineSuffix)) {
        return {};
    }
    std::string title = l.substr(0, l.size() - kLineSuffix.size());
    std::string code;
    if (t.starts_with(title + "_") && t.ends_with(kTrainSuffix) &&
        t.size() > title.size() + 1 + kTrainSuffix.size()) {
        code = t.substr(title.size() + 1, t.size() - title.size() - 1 - kTrainSuffix.size());
    }
    return {valid_utf8(title), valid_utf8(code)};
}

// Different each time a page is written, so that a watching page can tell.
std::string stamp_now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    char when[32] = "";
    if (const std::tm* utc = std::gmtime(&seconds)) {
        std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", utc);
    }
    return std::string(when) + "#" + std::to_string(now.time_since_epoch().count());
}

}  // namespace

const CommandDescription& view_description() {
    return kDescription;
}

int view_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    const fs::path line = path_argument(parsed.required("line"));
    const fs::path train = path_argument(parsed.required("train"));
    const fs::path target = path_argument(parsed.required("out"));
    const WriteRules rules = write_rules(parsed);
    auto [title, code] = names_from_files(line, train);
    if (const auto given = parsed.value("title")) {
        windows_1252_argument(*given, "title");
        title = *given;
    }
    if (const auto given = parsed.value("code")) {
        windows_1252_argument(*given, "code");
        code = *given;
    }
    const fs::path inputs[] = {line, train};
    check_output(target, inputs, rules);
    const auto line_bytes = read_input(line, "line description");
    const auto train_bytes = read_input(train, "train service text");

    ReadScenario scenario;
    ReadRequest request;
    request.LineTitle = *utf8_to_1252(title);
    request.TrainCode = *utf8_to_1252(code);
    request.reading.recovers = false;
    bool compiled = true;
    try {
        read_scenario(scenario, {shown(line), line_bytes}, {shown(train), train_bytes}, request);
    } catch (const std::exception&) {
        // Texts the compact files cannot hold: the page shows the diagnostics without a route.
        compiled = false;
    }
    const std::vector<RouteText> texts{{"line", shown(line), line_bytes},
                                       {"train", shown(train), train_bytes}};
    const auto diagnostics = check_files(line, train, {});

    RouteData data;
    data.title = title;
    data.code = code;
    data.state = compiled ? &scenario.state : nullptr;
    data.texts = texts;
    data.annotations = annotations_from_compile(data.state, texts, diagnostics, &scenario.reading);
    data.stamp = stamp_now();
    const auto page = route_page(built_in_page_parts(), route_data_json(data));
    // The page's directory is held as every output's is, so that no other writer's clean-up
    // takes its temporary for one left by a killed run.
    const OutputDirectoryLock lock(
        target.parent_path().empty() ? fs::path(".") : target.parent_path(), rules);
    try {
        files::replace_file(target, page, files::Flush::to_disk, rules.read_only);
    } catch (const files::FileError& failure) {
        throw EnvironmentError(failure.what());
    }
    out << escape_controls(shown(target)) << '\n';
    const auto errors = std::count_if(diagnostics.begin(), diagnostics.end(),
                                      [](const auto& d) { return d.severity == Severity::error; });
    if (!diagnostics.empty()) {
        err << escape_controls(shown(target)) << ": " << errors
            << (errors == 1 ? " error, " : " errors, ")
            << diagnostics.size() - static_cast<std::size_t>(errors)
            << (diagnostics.size() - static_cast<std::size_t>(errors) == 1 ? " warning"
                                                                           : " warnings")
            << " shown on the page\n";
    }
    return errors > 0 ? kExitTextFault : kExitClean;
}

}  // namespace scenario::tool
