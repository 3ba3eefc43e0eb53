#include "commands/view_command.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "commands/check_command.h"
#include "files/file_error.h"
#include "files/output_set.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/text_encoding.h"
#include "io/windows_1252_argument.h"
#include "reading/author_reading.h"
#include "view/route_annotations.h"
#include "view/route_data.h"
#include "view/route_page.h"
#include "view/scenario_view.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::string_view kSynopsis[] = {
    "--line FILE --train FILE --out PAGE.html [--title TITLE] [--code CODE] [--watch] "
    "[--force] [--no-lock]"};
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
    {.name = "watch",
     .help = "keep running and rewrite the page whenever a text changes (Ctrl-C ends)"},
    kForceOption,
    kNoLockOption,
};
constexpr Paragraph kParagraphs[] = {
    {.text = "Reads the two texts once, as check does, compiles them in memory and writes one\n"
             "HTML page that shows the line and the run: the track plan, north up, to pan and\n"
             "zoom, and under it the profile along the route (height, gradient, curves, speed\n"
             "limit and slowdowns, adhesion) on one axis of metres, with a cursor that tells\n"
             "what applies at each metre. Every record of the texts is an object of the page:\n"
             "a click on it shows its line of the text, the cells it holds and what the compact\n"
             "files store for it. The problems 'check' finds are listed and marked where they\n"
             "lie. The page is one file and loads nothing: open it in any browser, or send it.\n"
             "PAGE.html#m=37500 opens it at that metre, PAGE.html#find=NAME at that station."},
    {.kind = ParagraphKind::options},
    {.text = "The page is written even when the texts have faults: it shows them. With --watch\n"
             "the tool looks at both texts twice a second and, once a change has settled,\n"
             "writes the page again with PAGE.html.watch.js beside it, one line for each; a\n"
             "page open in a browser offers to reload."},
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

constexpr std::string_view kWatchSuffix = ".watch.js";
// How often the texts are looked at, and how long a change must rest before the page is made:
// an editor may write a text in several steps.
constexpr auto kPoll = 500ms;
constexpr auto kSettle = 300ms;
constexpr auto kSettlePoll = 100ms;

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

struct ViewRequest {
    fs::path line;
    fs::path train;
    fs::path target;
    std::string title;  // UTF-8
    std::string code;
    WriteRules rules;
    bool watch = false;

    fs::path watch_script() const {
        auto script = target;
        script += std::string(kWatchSuffix);
        return script;
    }
};

struct Written {
    std::size_t errors = 0;
    std::size_t warnings = 0;
};

// Reads the texts once in check mode, with the plan, and writes the page (and, watching, its
// stamp script) in one set: both are whole, old or new.
Written write_page(const ViewRequest& request) {
    const auto line_bytes = read_input(request.line, "line description");
    const auto train_bytes = read_input(request.train, "train service text");
    ReadScenario scenario;
    ReadRequest read;
    read.LineTitle = *utf8_to_1252(request.title);
    read.TrainCode = *utf8_to_1252(request.code);
    std::string failure;
    try {
        read_scenario(scenario, {shown(request.line), line_bytes},
                      {shown(request.train), train_bytes}, read);
    } catch (const std::length_error& e) {
        // The reading is whole; only the compact files cannot hold a name of the texts.
        failure = e.what();
    }
    // Two texts given the other way round are said as such, and only that.
    const auto diagnostics = looks_like_train_text(scenario)
                                 ? check_files(request.line, request.train, {})
                                 : diagnose(scenario, {});

    RouteData data;
    data.title = request.title;
    data.code = request.code;
    data.state = scenario.state.has_cells() ? &scenario.state : nullptr;
    data.texts = {{"line", shown(request.line), line_bytes},
                  {"train", shown(request.train), train_bytes}};
    data.annotations = annotations_from_reading(scenario, diagnostics);
    if (!failure.empty()) {
        RouteDiagnostic d;
        d.message = "the compact files cannot hold the texts: " + valid_utf8(failure);
        data.annotations.diagnostics.push_back(std::move(d));
    }
    data.stamp = stamp_now();
    const auto script = request.watch_script();
    if (request.watch) {
        data.watch = shown(script.filename());
    }
    const auto page = route_page(built_in_page_parts(), route_data_json(data));
    const std::string stamp = watch_script(data.stamp);
    // The page's directory is held as every output's is, so that no other writer's clean-up
    // takes its temporary for one left by a killed run; watching, only while it writes.
    const OutputDirectoryLock lock(
        request.target.parent_path().empty() ? fs::path(".") : request.target.parent_path(),
        request.rules);
    try {
        files::OutputSet outputs(request.rules.read_only);
        outputs.add(request.target, page);
        if (request.watch) {
            outputs.add(script, stamp);
        }
        outputs.commit();
    } catch (const files::FileError& e) {
        throw EnvironmentError(e.what());
    }
    Written written;
    for (const auto& d : data.annotations.diagnostics) {
        (d.severity == Severity::error ? written.errors : written.warnings) += 1;
    }
    return written;
}

std::string counted(std::size_t n, std::string_view what) {
    return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

// What the watcher compares: each text's size and time of change, or that it is missing (an
// editor may replace a text by renaming another over it).
using TextStates = std::array<std::optional<std::pair<std::uintmax_t, fs::file_time_type>>, 2>;
TextStates text_states(const ViewRequest& request) {
    TextStates states;
    const fs::path* texts[] = {&request.line, &request.train};
    for (std::size_t i = 0; i < 2; ++i) {
        std::error_code size_error, time_error;
        const auto size = fs::file_size(*texts[i], size_error);
        const auto time = fs::last_write_time(*texts[i], time_error);
        if (!size_error && !time_error) {
            states[i] = std::pair{size, time};
        }
    }
    return states;
}

std::string clock_now() {
    const std::time_t now = std::time(nullptr);
    char when[16] = "";
    if (const std::tm* local = std::localtime(&now)) {
        std::strftime(when, sizeof when, "%H:%M:%S", local);
    }
    return when;
}

// Until the process is interrupted (the tool's handlers end it; the page and its script are
// renamed into place together, so an interrupt leaves both whole), writes the page again each
// time a change of either text has rested: one line for each, a failure told and waited out.
[[noreturn]] void watch(const ViewRequest& request, TextStates seen, std::ostream& out,
                        std::ostream& err) {
    for (;;) {
        std::this_thread::sleep_for(kPoll);
        auto now = text_states(request);
        if (now == seen) {
            continue;
        }
        auto settled_at = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - settled_at < kSettle) {
            std::this_thread::sleep_for(kSettlePoll);
            const auto later = text_states(request);
            if (later != now) {
                now = later;
                settled_at = std::chrono::steady_clock::now();
            }
        }
        seen = now;
        try {
            const auto written = write_page(request);
            out << clock_now() << ' ' << escape_controls(shown(request.target))
                << " rewritten: " << counted(written.errors, "error") << ", "
                << counted(written.warnings, "warning") << std::endl;
        } catch (const std::exception& failure) {
            err << clock_now() << " scenario-tool view: " << escape_controls(failure.what())
                << "; the page is left as it was" << std::endl;
        }
    }
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
    ViewRequest request;
    request.line = path_argument(parsed.required("line"));
    request.train = path_argument(parsed.required("train"));
    request.target = path_argument(parsed.required("out"));
    request.rules = write_rules(parsed);
    request.watch = parsed.flag("watch");
    std::tie(request.title, request.code) = names_from_texts(request.line, request.train);
    if (const auto given = parsed.value("title")) {
        windows_1252_argument(*given, "title");
        request.title = *given;
    }
    if (const auto given = parsed.value("code")) {
        windows_1252_argument(*given, "code");
        request.code = *given;
    }
    // A title or code taken from a file name may hold what Windows-1252 has not.
    for (auto* name : {&request.title, &request.code}) {
        if (!utf8_to_1252(*name)) {
            *name = "";
        }
    }
    const fs::path inputs[] = {request.line, request.train};
    check_output(request.target, inputs, request.rules);
    if (request.watch) {
        check_output(request.watch_script(), inputs, request.rules);
    }
    // Taken before the texts are read, so that a change while the page is made is not missed.
    const auto seen = text_states(request);
    const auto written = write_page(request);
    out << escape_controls(shown(request.target)) << '\n';
    if (written.errors + written.warnings > 0) {
        err << escape_controls(shown(request.target)) << ": " << counted(written.errors, "error")
            << ", " << counted(written.warnings, "warning") << " shown on the page\n";
    }
    if (request.watch) {
        out << "watching " << escape_controls(shown(request.line)) << " and "
            << escape_controls(shown(request.train)) << "; Ctrl-C ends" << std::endl;
        watch(request, seen, out, err);
    }
    return written.errors > 0 ? kExitTextFault : kExitClean;
}

}  // namespace scenario::tool
