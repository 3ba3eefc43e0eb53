#include "commands/view_command.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "commands/check_command.h"
#include "diagnostics/timetable_check.h"
#include "files/file_error.h"
#include "files/output_set.h"
#include "files/windows_1252.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/text_encoding.h"
#include "io/texts_request.h"
#include "io/windows_1252_argument.h"
#include "reading/author_reading.h"
#include "running_time/fastest_run.h"
#include "running_time/line_profile.h"
#include "running_time/run_page.h"
#include "running_time/run_settings.h"
#include "view/route_annotations.h"
#include "view/route_data.h"
#include "view/route_page.h"
#include "view/scenario_view.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::string_view kSynopsis[] = {
    "[--line FILE --train FILE] [--project FILE] [--out PAGE.html] [--title TITLE] "
    "[--code CODE] [--watch] [--force] [--no-lock]",
    "DIR [--out PAGE.html] [--title TITLE --code CODE] [--force] [--no-lock]"};
constexpr ArgumentDescription kArguments[] = {{"DIR", ValueKind::directory}};
constexpr OptionDescription kOptions[] = {
    kLineOption,
    kTrainOption,
    kProjectOption,
    {.name = "out",
     .placeholder = "PAGE",
     .kind = ValueKind::file,
     .help = "the page to write, replaced when it exists (default: route.html here)",
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
             "limit and slowdowns, adhesion, the train's fastest run) on one axis of metres,\n"
             "with a cursor that tells what applies at each metre. Every record of the texts\n"
             "is an object of the page: a click on it shows its line of the text, the cells it\n"
             "holds and what the compact files store for it. The problems 'check' finds are\n"
             "listed and marked where they lie. The page is one file and loads nothing: open it\n"
             "in any browser, or send it. PAGE.html#m=37500 opens it at that metre,\n"
             "PAGE.html#find=NAME at that station."},
    {.text = kProjectParagraph},
    {.text = "Given a directory DIR instead, it draws the scenario compiled there from its\n"
             "compact files: the same plan, profile and run, with the stations, signals,\n"
             "boards, code points, slowdowns and mountain spans the files hold, but no texts\n"
             "to link them to and no problems to show."},
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
    .arguments = kArguments,
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
    fs::path line;  // the texts; empty for a compiled directory
    fs::path train;
    fs::path compiled;  // the compiled directory, or empty
    fs::path target;
    std::string title;  // UTF-8
    std::string code;
    WriteRules rules;
    bool watch = false;
    running_time::RunSettings run;  // the train of the run drawn and of the timetable warnings

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

// The fastest run as the page draws it, each station tied to the page's object of its entry
// in the scenario table; none when the run cannot be made.
std::optional<Json> page_run_of(const running_time::LineProfile& profile,
                                const RouteAnnotations& annotations,
                                const running_time::TrainParameters& train) {
    const auto run = running_time::fastest_run(profile, train);
    auto page = running_time::page_run(profile, run);
    if (!page) {
        return std::nullopt;
    }
    std::map<std::string, std::int64_t> station_objects;
    for (std::size_t i = 0; i < annotations.objects.size(); ++i) {
        const auto& o = annotations.objects[i];
        if (o.type == "station" && !o.stored.empty()) {
            station_objects.emplace(o.stored.front().first, static_cast<std::int64_t>(i));
        }
    }
    for (auto& s : page->stations) {
        const auto found = station_objects.find("entry " + std::to_string(s.entry));
        if (found != station_objects.end()) {
            s.object = found->second;
        }
    }
    return running_time::page_run_json(*page);
}

// Writes the page and, watching, its stamp script in one set: both are whole, old or new.
void write_set(const ViewRequest& request, const RouteData& data) {
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
            outputs.add(request.watch_script(), stamp);
        }
        outputs.commit();
    } catch (const files::FileError& e) {
        throw EnvironmentError(e.what());
    }
}

// The page of a compiled directory: its compact files decoded into the state a compile leaves.
void write_compiled_page(const ViewRequest& request) {
    auto compiled = load_compiled(
        request.compiled, request.title.empty() ? std::nullopt : utf8_to_1252(request.title),
        request.code.empty() ? std::nullopt : utf8_to_1252(request.code));
    compiler::BuildState state;
    if (compiled.locations.size() != state.locations.size() || compiled.cells.empty()) {
        throw EnvironmentError("'" + shown(compiled.read_from.front()) +
                               "' and its cell file hold no scenario to draw");
    }
    std::copy(compiled.locations.begin(), compiled.locations.end(), state.locations.begin());
    state.cells = std::move(compiled.cells);
    if (compiled.plan) {
        state.plan = std::move(*compiled.plan);
    }
    // The stations stand from entry 1 on, the sign boards' names from the last slot down.
    std::set<std::int32_t> boards;
    for (const auto& cell : state.cells) {
        if (cell.kind == compiler::cell_kind::sign_board) {
            boards.insert(cell.ref);
        }
    }
    while (static_cast<std::size_t>(state.stationCount) + 1 < compiler::entry::first_sign_slot &&
           state.locations[static_cast<std::size_t>(state.stationCount) + 1] !=
               compiler::LocationEntry{} &&
           !boards.contains(state.stationCount + 1)) {
        ++state.stationCount;
    }
    RouteData data;
    data.title = utf8_from_1252(state.locations[compiler::entry::scenery].name);
    data.code = utf8_from_1252(state.locations[compiler::entry::repetition].name);
    data.state = &state;
    data.annotations = annotations_from_compiled(state);
    data.run =
        page_run_of(running_time::line_profile_of(state), data.annotations, request.run.train);
    data.stamp = stamp_now();
    write_set(request, data);
}

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
    DiagnoseOptions options;
    options.run = request.run;
    // Two texts given the other way round are said as such, and only that.
    const auto diagnostics = looks_like_train_text(scenario)
                                 ? check_files(request.line, request.train, {})
                                 : diagnose(scenario, options);

    RouteData data;
    data.title = request.title;
    data.code = request.code;
    data.state = scenario.state.has_cells() ? &scenario.state : nullptr;
    data.texts = {{"line", shown(request.line), line_bytes},
                  {"train", shown(request.train), train_bytes}};
    data.annotations = annotations_from_reading(scenario, diagnostics);
    if (whole_for_a_run(scenario)) {
        data.run = page_run_of(run_profile_of(scenario), data.annotations, request.run.train);
    }
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
    write_set(request, data);
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
    ViewRequest request;
    request.target = path_argument(parsed.value("out").value_or("route.html"));
    request.rules = write_rules(parsed);
    request.watch = parsed.flag("watch");
    for (auto [option, slot] :
         {std::pair{"title", &request.title}, std::pair{"code", &request.code}}) {
        if (const auto given = parsed.value(option)) {
            windows_1252_argument(*given, option);
            *slot = *given;
        }
    }
    if (!parsed.positionals.empty()) {
        expect_positionals(parsed, 1, "the directory DIR");
        for (const auto* option : {"line", "train", "project"}) {
            if (parsed.value(option)) {
                throw UsageError(std::string("--") + option +
                                 " names texts; a compiled directory DIR is drawn without them");
            }
        }
        if (request.watch) {
            throw UsageError("--watch follows texts; a compiled directory DIR has none");
        }
        if (request.title.empty() != request.code.empty()) {
            throw UsageError("--title and --code go together with a directory");
        }
        request.compiled = path_argument(parsed.positionals.front());
        check_output(request.target, {}, request.rules);
        write_compiled_page(request);
        out << escape_controls(shown(request.target)) << '\n';
        return kExitClean;
    }
    if (parsed.value("line").has_value() != parsed.value("train").has_value() &&
        !parsed.value("project")) {
        throw UsageError("--line and --train go together");
    }
    const auto texts =
        resolve_texts(parsed, {.line = true, .train = true}, {.title = true, .code = true});
    request.line = texts.line_text;
    if (texts.project) {
        running_time::apply_project_settings(request.run, *texts.project);
    }
    request.train = texts.train_text;
    if (!parsed.value("title") || !parsed.value("code")) {
        auto [title, code] = names_from_texts(request.line, request.train);
        if (!texts.LineTitle.empty()) {
            title = utf8_from_1252(texts.LineTitle);
        }
        if (!texts.TrainCode.empty()) {
            code = utf8_from_1252(texts.TrainCode);
        }
        request.title = parsed.value("title") ? request.title : title;
        request.code = parsed.value("code") ? request.code : code;
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
