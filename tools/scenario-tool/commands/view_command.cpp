#include "commands/view_command.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/usage_text.h"
#include "compiler/compile.h"
#include "diagnostics/author_check.h"
#include "files/replace_file.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/text_encoding.h"
#include "io/windows_1252_argument.h"
#include "view/route_annotations.h"
#include "view/route_data.h"
#include "view/route_page.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;

constexpr std::array kViewOptions{
    OptionDescription{"line", true}, OptionDescription{"train", true},
    OptionDescription{"out", true},  OptionDescription{"title", true},
    OptionDescription{"code", true},
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

int view_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kViewOptions);
    if (parsed.flag("help")) {
        out << view_help();
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    const fs::path line = parsed.required("line");
    const fs::path train = parsed.required("train");
    const fs::path target = parsed.required("out");
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
    check_output(target, inputs);
    const auto line_bytes = read_input(line, "line description");
    const auto train_bytes = read_input(train, "train service text");

    compiler::BuildState state;
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(line_bytes);
    input.train_text = compiler::SourceText::of(train_bytes);
    input.LineTitle = *utf8_to_1252(title);
    input.TrainCode = *utf8_to_1252(code);
    input.buildFlag = 1;
    std::optional<compiler::CompileOutput> compiled;
    try {
        compiled = compiler::compile_scenario(state, input);
    } catch (const std::exception&) {
        // Texts the compact files cannot hold: the page shows the diagnostics without a route.
    }
    const std::vector<RouteText> texts{{"line", shown(line), line_bytes},
                                       {"train", shown(train), train_bytes}};
    std::optional<FirstCompile> first;
    if (compiled) {
        first.emplace(FirstCompile{state, *compiled});
    }
    const auto diagnostics =
        check_texts({line_bytes, texts[0].file}, {train_bytes, texts[1].file}, {}, first);

    RouteData data;
    data.title = title;
    data.code = code;
    data.state = compiled ? &state : nullptr;
    data.texts = texts;
    data.annotations = annotations_from_compile(data.state, texts, diagnostics);
    data.stamp = stamp_now();
    const auto page = route_page(built_in_page_parts(), route_data_json(data));
    try {
        files::replace_file(target, page);
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
