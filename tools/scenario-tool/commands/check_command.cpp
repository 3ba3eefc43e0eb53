#include "commands/check_command.h"

#include <array>
#include <filesystem>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/usage_text.h"
#include "diagnostics/author_check.h"
#include "io/author_texts.h"
#include "io/json_writer.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;

constexpr std::array kCheckOptions{
    OptionDescription{"line", true},  OptionDescription{"train", true},
    OptionDescription{"json", false}, OptionDescription{"strict", false},
    OptionDescription{"color", true},
};

}  // namespace

int check_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CheckOptions options;
    const auto rest = take_warning_options({args.begin(), args.end()}, options);
    const auto parsed = parse_arguments(rest, kCheckOptions);
    if (parsed.flag("help")) {
        out << check_help();
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    options.strict = parsed.flag("strict");
    const bool colour = colour_wanted(parsed.value("color").value_or("auto"));
    const fs::path line_file = parsed.required("line");
    const fs::path train_file = parsed.required("train");
    const auto line_bytes = read_input(line_file, "line description");
    const auto train_bytes = read_input(train_file, "train service text");
    const auto diagnostics = check_texts({line_bytes, valid_utf8(line_file.string())},
                                         {train_bytes, valid_utf8(train_file.string())}, options);
    if (parsed.flag("json")) {
        JsonWriter json;
        json.begin_object();
        write_json(json, diagnostics);
        json.end_object();
        out << json.text() << '\n';
    } else {
        err << render_text(diagnostics, colour);
    }
    return has_errors(diagnostics) ? kExitTextFault : kExitClean;
}

}  // namespace scenario::tool
