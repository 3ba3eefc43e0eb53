#include "commands/compile_command.h"

#include <array>
#include <exception>
#include <system_error>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/usage_text.h"
#include "compiler/memorizza_percorso.h"
#include "diagnostics/author_check.h"
#include "files/directory_lock.h"
#include "files/file_names.h"
#include "files/input_file.h"
#include "files/replace_file.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/safe_names.h"
#include "io/text_encoding.h"
#include "io/windows_1252_argument.h"

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

CompileReport compile_texts(const CompileRequest& request) {
    if (auto reason = unsafe_names_reason(request.LineTitle, request.TrainCode)) {
        throw UsageError(*reason);
    }
    const auto line_bytes = read_input(request.line_text, "line description");
    const auto train_bytes = read_input(request.train_text, "train service text");
    check_outputs(request.out_directory, output_names(request),
                  {request.line_text, request.train_text});

    compiler::BuildState state;
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(line_bytes);
    input.train_text = compiler::SourceText::of(train_bytes);
    input.LineTitle = request.LineTitle;
    input.TrainCode = request.TrainCode;
    input.buildFlag = request.with_plan ? 1 : 0;
    const TextNames names{shown(request.line_text), shown(request.train_text)};
    compiler::CompileOutput output;
    try {
        output = compiler::compile_scenario(state, input);
    } catch (const std::exception& failure) {
        // Something in the texts the compact files cannot hold: nothing was written.
        CompileReport refused;
        refused.outcome = CompileOutcome::refused;
        refused.message = std::string("the texts cannot be compiled: ") + failure.what();
        return refused;
    }
    CompileReport report = make_report(state, output, names);
    CheckOptions check;
    check.buildFlag = input.buildFlag;
    report.diagnostics = check_texts({line_bytes, names.line_text}, {train_bytes, names.train_text},
                                     check, FirstCompile{state, output});
    if (!output.files) {
        return report;
    }
    try {
        // One writer at a time in a directory; the set is renamed into place only when all of
        // it is written, so --out holds the whole old set or the whole new one.
        const files::DirectoryLock lock(request.out_directory);
        compiler::write_compact_files(*output.files, request.out_directory, request.LineTitle,
                                      request.TrainCode);
    } catch (const files::FileError& failure) {
        throw EnvironmentError(std::string("the compact files could not be written: ") +
                               failure.what());
    }
    report.written = output_names(request);
    return report;
}

namespace {

constexpr std::array kCompileOptions{
    OptionDescription{"line", true},  OptionDescription{"train", true},
    OptionDescription{"title", true}, OptionDescription{"code", true},
    OptionDescription{"out", true},   OptionDescription{"no-plan", false},
    OptionDescription{"json", false},
};

std::string name_argument(const ParsedArguments& parsed, std::string_view option) {
    return windows_1252_argument(parsed.required(option), option);
}

}  // namespace

int compile_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kCompileOptions);
    if (parsed.flag("help")) {
        out << compile_help();
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    CompileRequest request;
    request.line_text = parsed.required("line");
    request.train_text = parsed.required("train");
    request.LineTitle = name_argument(parsed, "title");
    request.TrainCode = name_argument(parsed, "code");
    request.out_directory = parsed.required("out");
    request.with_plan = !parsed.flag("no-plan");

    const auto report = compile_texts(request);
    if (parsed.flag("json")) {
        out << report_json(report) << '\n';
    } else {
        if (!report.diagnostics.empty()) {
            err << render_text(report.diagnostics, colour_wanted("auto"));
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
