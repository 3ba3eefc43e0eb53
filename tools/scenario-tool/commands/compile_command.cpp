#include "commands/compile_command.h"

#include <exception>
#include <system_error>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "compiler/memorizza_percorso.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "diagnostics/reading_diagnostics.h"
#include "files/directory_lock.h"
#include "files/file_names.h"
#include "files/input_file.h"
#include "files/replace_file.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/safe_names.h"
#include "io/text_encoding.h"
#include "io/texts_request.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;

// The compact files the compile may write, in the order the builder writes them.
std::vector<std::string> output_names(const CompileRequest& request) {
    std::vector<std::string> names;
    if (request.with_plan) {
        names.push_back(files::line_binary_name(request.LineTitle));
    }
    names.push_back(files::scenario_file_name(request.LineTitle, request.TrainCode));
    names.push_back(files::cell_file_name(request.LineTitle, request.TrainCode));
    return names;
}

}  // namespace

CompileReport compile_texts(const CompileRequest& request, const WriteRules& rules) {
    if (auto reason = unsafe_names_reason(request.LineTitle, request.TrainCode)) {
        throw UsageError(*reason);
    }
    const auto line_bytes = read_input(request.line_text, "line description");
    const auto train_bytes = read_input(request.train_text, "train service text");
    check_outputs(request.out_directory, output_names(request),
                  {request.line_text, request.train_text}, rules);

    const TextNames names{shown(request.line_text), shown(request.train_text)};
    // The build's own reading, observed: its diagnostics are the report's, up to where the
    // build stops reading.
    ReadScenario scenario;
    ReadRequest read;
    read.LineTitle = request.LineTitle;
    read.TrainCode = request.TrainCode;
    read.buildFlag = request.with_plan ? 1 : 0;
    read.reading.recovers = false;
    try {
        read_scenario(scenario, {names.line_text, line_bytes}, {names.train_text, train_bytes},
                      read);
    } catch (const std::exception& failure) {
        // Something in the texts the compact files cannot hold: nothing was written.
        CompileReport refused;
        refused.outcome = CompileOutcome::refused;
        refused.message = std::string("the texts cannot be compiled: ") + failure.what();
        return refused;
    }
    const auto& output = scenario.output;
    CompileReport report = make_report(scenario.state, output, names);
    DiagnoseOptions options;
    options.run = request.run;
    report.diagnostics = diagnose(scenario, options);
    if (report.outcome != CompileOutcome::clean) {
        // Past the build's stop, the check's reading tells the rest.
        ReadScenario checked;
        read.reading.recovers = true;
        read_scenario(checked, scenario.line, scenario.train, read);
        report.diagnostics = diagnose(checked, options);
    }
    if (!output.files) {
        return report;
    }
    // One writer at a time in a directory; the set is renamed into place only when all of it
    // is written, so --out holds the whole old set or the whole new one.
    const OutputDirectoryLock lock(request.out_directory, rules);
    try {
        compiler::write_compact_files(*output.files, request.out_directory, request.LineTitle,
                                      request.TrainCode, rules.read_only);
    } catch (const files::FileError& failure) {
        throw EnvironmentError(std::string("the compact files could not be written: ") +
                               failure.what());
    }
    report.written = output_names(request);
    return report;
}

namespace {

// The two faults that leave no compact file, as the help names them.
static_assert(compiler::number_of(compiler::Fault::format_markers_in_use) == 1250);
static_assert(compiler::number_of(compiler::Fault::scenario_codes_in_use) == 1251);

constexpr std::string_view kSynopsis[] = {
    "[--line FILE] [--train FILE] [--title TITLE] [--code CODE] [--out DIR] [--project FILE] "
    "[--no-plan] [--json] [--force] [--no-lock]"};
constexpr OptionDescription kOptions[] = {
    kLineOption,
    kTrainOption,
    {.name = "title",
     .placeholder = "TITLE",
     .help = "the line title, which names the files and enters the codes",
     .names_scenario = true},
    {.name = "code", .placeholder = "CODE", .help = "the train code", .names_scenario = true},
    {.name = "out",
     .placeholder = "DIR",
     .kind = ValueKind::directory,
     .help = "an existing directory for the compact files"},
    kProjectOption,
    {.name = "no-plan", .help = "no track plan: <TITLE>_linea.dat is neither written nor removed"},
    {.name = "json", .help = "report as one JSON object on standard output"},
    kForceOption,
    kNoLockOption,
};
constexpr Paragraph kParagraphs[] = {
    {.text = "Compiles the two texts exactly as scenario-builder does and writes into DIR\n"
             "<TITLE>_<CODE>.sim, <TITLE>_<CODE>.dat and, unless --no-plan, <TITLE>_linea.dat.\n"
             "The texts are only read: the compile works on copies."},
    {.text = kProjectParagraph},
    {.kind = ParagraphKind::options},
    {.text =
         "A fault is reported as FILE:LINE: error N: meaning (position P m); the compact files\n"
         "are written all the same, except for 1250 and 1251, which write none."},
    {.text =
         "The three files are replaced as one set: a run that is stopped leaves DIR with the\n"
         "whole old set or the whole new one, and after a kill the next writer in DIR completes\n"
         "the set from its journal before anything else. A title or code that begins with '-'\n"
         "is taken only as --title=-X."},
    {.kind = ParagraphKind::exit_status,
     .text = "0 clean, 1 the texts have a fault, 2 wrong usage or unusable files",
     .follows = true},
};

constexpr CommandDescription kDescription{
    .name = "compile",
    .summary = "compile a line description and a train service text",
    .listed_arguments = "...",
    .synopsis = kSynopsis,
    .options = kOptions,
    .paragraphs = kParagraphs,
};

}  // namespace

const CommandDescription& compile_description() {
    return kDescription;
}

int compile_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    auto texts = resolve_texts(
        parsed, {.line = true, .train = true, .title = true, .code = true, .out = true});
    CompileRequest request;
    request.line_text = std::move(texts.line_text);
    request.train_text = std::move(texts.train_text);
    request.LineTitle = std::move(texts.LineTitle);
    request.TrainCode = std::move(texts.TrainCode);
    request.out_directory = std::move(texts.out_directory);
    request.with_plan = !parsed.flag("no-plan");
    if (texts.project) {
        running_time::apply_project_settings(request.run, *texts.project);
    }

    const auto report = compile_texts(request, write_rules(parsed));
    if (parsed.flag("json")) {
        out << report_json(report) << '\n';
    } else {
        if (!report.diagnostics.empty()) {
            err << render_text(report.diagnostics, colour_wanted("auto"))
                << closing_line(report.diagnostics);
        } else if (report.outcome != CompileOutcome::clean) {
            err << escape_controls(diagnostic_line(report)) << '\n';
        }
        if (report.outcome != CompileOutcome::refused) {
            out << summary_line(report) << '\n';
        }
    }
    return report.outcome == CompileOutcome::clean ? kExitClean : kExitTextFault;
}

}  // namespace scenario::tool
