#include "commands/run_command.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <sstream>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "diagnostics/compile_report.h"
#include "diagnostics/diagnostic_json.h"
#include "diagnostics/reading_diagnostics.h"
#include "diagnostics/timetable_check.h"
#include "files/windows_1252.h"
#include "io/author_texts.h"
#include "io/json.h"
#include "io/text_encoding.h"
#include "io/texts_request.h"
#include "running_time/number_text.h"
#include "running_time/run_page.h"
#include "running_time/run_settings.h"

namespace scenario::tool {

namespace rt = running_time;

RunReport run_texts(const RunRequest& request) {
    SourceFile line(shown(request.line_text), read_input(request.line_text, "line description"));
    SourceFile train(shown(request.train_text),
                     read_input(request.train_text, "train service text"));
    ReadRequest read;
    read.reading.recovers = false;
    // The build's faults are the same without the plan's points, and the curves count from
    // their records, as in check.
    read.reading.plans = false;
    RunReport report;
    ReadScenario scenario;
    try {
        read_scenario(scenario, line, train, read);
    } catch (const std::exception& failure) {
        Diagnostic d;
        d.message = std::string("the texts cannot be compiled: ") + failure.what();
        report.faults.push_back(std::move(d));
        return report;
    }
    const auto compiled = make_report(scenario.state, scenario.output, {line.name(), train.name()});
    if (compiled.outcome != CompileOutcome::clean) {
        // Past the build's stop, the check's reading tells the rest, as compile does.
        ReadScenario checked;
        read.reading.recovers = true;
        read_scenario(checked, line, train, read);
        report.faults = diagnose(checked, {});
        if (!has_errors(report.faults)) {
            Diagnostic d;
            d.message = compiled.message;
            report.faults.push_back(std::move(d));
        }
        return report;
    }
    report.profile = run_profile_of(scenario);
    report.run = rt::fastest_run(report.profile, request.train);
    return report;
}

namespace {

// The options of the run: the texts, the output, the threshold of a note, and one per
// parameter of the train, described from the model's own table.
struct RunCommandDescription {
    std::vector<std::string> help;  // the options' help lines, which the options point into
    std::string synopsis;
    std::vector<std::string_view> forms;
    std::vector<OptionDescription> options;
    CommandDescription description;
};

std::string number_text(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

constexpr Paragraph kParagraphs[] = {
    {.text = "Reads both texts as the build does and, when they compile without a fault, runs\n"
             "the train as fast as the line lets it from the first station to the last: under\n"
             "the speed limits and the slowdowns as the build lays them, cell by cell, with\n"
             "the whole train under a limit, braking in time for the next, stopping at every\n"
             "station below kind 25 for its dwell. Station by station it prints the position,\n"
             "the distance from the station before, the station's time, the time the\n"
             "timetable gives from the previous timed station (scheduled), the time the\n"
             "fastest run takes over the same span (fastest), the margin between them and the\n"
             "top speed in the span; then the whole run. A time the train cannot keep is\n"
             "marked late, a margin under --margin-note tight. check warns of the first\n"
             "(timetable-too-tight) and notes the second, with the project's [run] settings."},
    {.text = kProjectParagraph},
    {.text = "The project's [run] section sets what the options set, each by the option's\n"
             "name without --, one key = value a line (curves = no for --no-curves);\n"
             "an option given overrides the project's value."},
    {.kind = ParagraphKind::options},
    {.text = "The default train is the built-in one: an E.464 locomotive and the coaches of\n"
             "the train text. The README tells the model's assumptions and why each default\n"
             "is what it is."},
    {.kind = ParagraphKind::exit_status,
     .text = "0 every time can be kept, 1 a time cannot be kept (a script\n"
             "stops on it as on a failed check), the texts have a fault or the run\n"
             "cannot be made, 2 wrong usage or unusable files",
     .follows = true},
};

const RunCommandDescription& described() {
    static const RunCommandDescription d = [] {
        RunCommandDescription d;
        const auto table = rt::train_parameter_table();
        const rt::TrainParameters defaults;
        d.help.reserve(table.size());
        for (const auto& row : table) {
            std::string unit = row.unit.empty() ? "" : ", " + std::string(row.unit);
            d.help.push_back(std::string(row.meaning) + unit + " (default " +
                             number_text(defaults.*row.member) + ")");
        }
        d.synopsis =
            "[--line FILE] [--train FILE] [--project FILE] [--json] [--margin-note PERCENT] "
            "[--coaches N] [--braked-mass PERCENT] [--no-curves]";
        for (const auto& row : table) {
            d.synopsis += " [--" + std::string(row.key) + " X]";
        }
        d.forms = {d.synopsis};
        d.options = {
            {.name = "line",
             .placeholder = "FILE",
             .kind = ValueKind::file,
             .help = "the line description"},
            {.name = "train",
             .placeholder = "FILE",
             .kind = ValueKind::file,
             .help = "the train service text"},
            kProjectOption,
            {.name = "json", .help = "one JSON object: the stations, the run, the train"},
            {.name = "margin-note",
             .placeholder = "PERCENT",
             .help = "tight under this % of the scheduled time (default 3)"},
            {.name = "coaches",
             .placeholder = "N",
             .help = "coaches behind the locomotive (default: the text's)"},
            {.name = "braked-mass",
             .placeholder = "PERCENT",
             .help = "braked-mass percentage (default: the text's)"},
            {.name = "no-curves", .help = "leave out the curves' resistance"},
        };
        for (std::size_t i = 0; i < table.size(); ++i) {
            d.options.push_back({.name = table[i].key, .placeholder = "X", .help = d.help[i]});
        }
        d.description = CommandDescription{
            .name = "run",
            .summary = "set the timetable against the train's fastest run",
            .listed_arguments = "...",
            .synopsis = d.forms,
            .options = d.options,
            .paragraphs = kParagraphs,
        };
        return d;
    }();
    return d;
}

RunRequest request_of(const ParsedArguments& parsed) {
    RunRequest request;
    const auto texts = resolve_texts(parsed, {.line = true, .train = true});
    request.line_text = texts.line_text;
    request.train_text = texts.train_text;
    // The project's settings first, then the command line's over them.
    rt::RunSettings settings;
    if (texts.project) {
        rt::apply_project_settings(settings, *texts.project);
    }
    for (const auto key : rt::run_setting_keys()) {
        if (key == "curves") {
            continue;  // the option is --no-curves
        }
        if (const auto given = parsed.value(key)) {
            if (const auto problem =
                    rt::apply_run_setting(settings, key, *given, "--" + std::string(key))) {
                throw UsageError(*problem);
            }
        }
    }
    if (parsed.flag("no-curves")) {
        settings.train.curve_resistance = false;
    }
    request.train = settings.train;
    request.margin_note = settings.margin_note;
    return request;
}

// One cell of the table: a number to some decimals, or "-" where there is none.
template <class T>
std::string cell(const std::optional<T>& value, int decimals) {
    return value ? rt::fixed(static_cast<double>(*value), decimals) : "-";
}

std::string padded_left(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string keeping_word(rt::Keeping keeping) {
    switch (keeping) {
        case rt::Keeping::late:
            return "late";
        case rt::Keeping::tight:
            return "tight";
        case rt::Keeping::kept:
            return "kept";
        case rt::Keeping::untimed:
            break;
    }
    return "";
}

void write_table(std::ostream& out, const RunReport& report, double margin_note) {
    const auto& profile = report.profile;
    const auto& run = report.run;
    std::size_t name_width = std::string_view("whole run").size();
    for (const auto& s : profile.stations) {
        name_width = std::max(name_width, s.name.size());
    }
    // Names are Windows-1252, one byte a character: padded by their bytes, shown in UTF-8.
    const auto name_cell = [&](const std::string& name) {
        return escape_controls(files::utf8_from_1252(name)) +
               std::string(name_width - std::min(name_width, name.size()), ' ');
    };
    constexpr std::size_t kWidths[] = {10, 9, 9, 10, 9, 9, 7, 6};
    const auto row = [&](const std::string& name, std::initializer_list<std::string> cells,
                         const std::string& mark) {
        std::string line = name_cell(name);
        std::size_t i = 0;
        for (const auto& c : cells) {
            line += padded_left(c, kWidths[i++]);
        }
        if (!mark.empty()) {
            line += "  " + mark;
        }
        out << line << '\n';
    };
    row("station", {"position", "distance", "time", "scheduled", "fastest", "margin", "", "top"},
        "");
    row("", {"m", "m", "", "s", "s", "s", "%", "km/h"}, "");
    bool unknown = false;
    for (std::size_t i = 0; i < run.stations.size(); ++i) {
        const auto& t = run.stations[i];
        const auto& s = profile.stations[t.station];
        const std::string distance =
            i == 0 ? "-"
                   : std::to_string(s.position -
                                    profile.stations[run.stations[i - 1].station].position);
        const std::string share = t.margin_share ? rt::fixed(*t.margin_share * 100, 1) : "-";
        std::string mark = keeping_word(rt::keeping(t, margin_note));
        if (mark == "kept") {
            mark.clear();
        }
        if (t.limit_unknown) {
            mark += mark.empty() ? "*" : " *";
            unknown = true;
        }
        row(s.name,
            {std::to_string(s.position), distance, s.time ? rt::time_of_day(*s.time) : "-",
             cell(t.scheduled, 0), cell(t.fastest, 1), cell(t.margin, 1), share,
             cell(t.top_speed, 0)},
            mark);
    }
    const auto& totals = run.totals;
    const std::string share = totals.scheduled && *totals.scheduled > 0
                                  ? rt::fixed(*totals.margin / *totals.scheduled * 100, 1)
                                  : "-";
    row("whole run",
        {"", rt::fixed(totals.distance, 0), "", cell(totals.scheduled, 0), cell(totals.fastest, 1),
         cell(totals.margin, 1), share, rt::fixed(totals.top_speed, 0)},
        totals.late_spans > 0 ? std::to_string(totals.late_spans) + " late" : "");
    out << '\n'
        << "whole run: " << rt::fixed(totals.distance, 0) << " m from stop to stop in "
        << rt::fixed(totals.running_time, 1) << " s, dwells included\n"
        << "train: " << run.train.coaches << " coaches, " << rt::fixed(run.train.length, 1)
        << " m, " << rt::fixed(run.train.mass / 1000, 0) << " t, braked mass "
        << number_text(run.train.braked_mass_percent) << " %"
        << (run.train.curve_resistance ? "" : ", curves not counted") << '\n';
    if (unknown) {
        out << "* the span crosses metres without a stored speed limit: its fastest time is a "
               "lower bound\n";
    }
    for (const auto& issue : run.issues) {
        out << "note: " << escape_controls(files::utf8_from_1252(issue.message)) << '\n';
    }
}

Json run_json(const RunReport& report, const RunRequest& request) {
    const auto& profile = report.profile;
    const auto& run = report.run;
    const auto tenths = [](const std::optional<double>& value) {
        return value ? json_rounded(*value, 1) : Json(nullptr);
    };
    Json stations = Json::array();
    for (std::size_t i = 0; i < run.stations.size() && run.computed(); ++i) {
        const auto& t = run.stations[i];
        const auto& s = profile.stations[t.station];
        const auto keeping = keeping_word(rt::keeping(t, request.margin_note));
        stations.push_back(
            Json{{"name", json_string(files::utf8_from_1252(s.name))},
                 {"position", s.position},
                 {"stops", t.stops},
                 {"time", s.time ? Json(rt::time_of_day(*s.time)) : Json(nullptr)},
                 {"arrival", json_rounded(t.arrival, 1)},
                 {"departure", json_rounded(t.departure, 1)},
                 {"scheduled", json_or_null(t.scheduled)},
                 {"fastest", tenths(t.fastest)},
                 {"margin", tenths(t.margin)},
                 {"marginPercent",
                  t.margin_share ? json_rounded(*t.margin_share * 100, 2) : Json(nullptr)},
                 {"topSpeed", tenths(t.top_speed)},
                 {"keeps", keeping.empty() ? Json(nullptr) : Json(keeping)},
                 {"limitUnknown", t.limit_unknown}});
    }
    const auto& totals = run.totals;
    Json train{{"coaches", run.train.coaches},
               {"braked-mass", json_number(run.train.braked_mass_percent)},
               {"length", json_rounded(run.train.length, 2)},
               {"mass", json_rounded(run.train.mass / 1000, 2)},
               {"curves", run.train.curve_resistance}};
    for (const auto& row : rt::train_parameter_table()) {
        // No power limit is written null: JSON has no infinity.
        train[std::string(row.key)] = json_number(request.train.*row.member);
    }
    Json issues = Json::array();
    for (const auto& issue : run.issues) {
        issues.push_back(Json{{"blocks", issue.blocks},
                              {"message", json_string(files::utf8_from_1252(issue.message))},
                              {"from", json_or_null(issue.from)},
                              {"to", json_or_null(issue.to)}});
    }
    return Json{{"computed", run.computed()},
                {"stations", std::move(stations)},
                {"totals",
                 {{"distance", json_rounded(totals.distance, 1)},
                  {"runningTime", json_rounded(totals.running_time, 1)},
                  {"scheduled", json_or_null(totals.scheduled)},
                  {"fastest", tenths(totals.fastest)},
                  {"margin", tenths(totals.margin)},
                  {"topSpeed", json_rounded(totals.top_speed, 1)},
                  {"lateSpans", totals.late_spans}}},
                {"marginNote", json_rounded(request.margin_note * 100, 3)},
                {"train", std::move(train)},
                {"issues", std::move(issues)}};
}

}  // namespace

const CommandDescription& run_description() {
    return described().description;
}

int run_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto& description = run_description();
    const auto parsed = parse_arguments(args, description);
    if (parsed.flag("help")) {
        out << help_text(description);
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    const auto request = request_of(parsed);
    const auto report = run_texts(request);
    const bool json_wanted = parsed.flag("json");
    if (!report.faults.empty()) {
        if (json_wanted) {
            Json json = Json::object();
            json["computed"] = false;
            write_json(json, report.faults);
            out << json_text(json) << '\n';
        } else {
            err << render_text(report.faults, colour_wanted("auto")) << closing_line(report.faults)
                << "scenario-tool run: the train runs only on texts that compile without a "
                   "fault\n";
        }
        return kExitTextFault;
    }
    if (json_wanted) {
        out << json_text(run_json(report, request)) << '\n';
    }
    const auto& run = report.run;
    if (!run.computed()) {
        for (const auto& issue : run.issues) {
            if (issue.blocks) {
                err << "scenario-tool run: the run cannot be made: "
                    << escape_controls(files::utf8_from_1252(issue.message)) << '\n';
            }
        }
        return kExitTextFault;
    }
    if (!json_wanted) {
        write_table(out, report, request.margin_note);
    }
    return run.totals.late_spans > 0 ? kExitTextFault : kExitClean;
}

}  // namespace scenario::tool
