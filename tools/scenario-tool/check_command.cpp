#include "check_command.h"

#include <array>
#include <filesystem>
#include <vector>

#include "author_check.h"
#include "command_line.h"
#include "exit_status.h"
#include "files/replace_file.h"
#include "json_writer.h"
#include "text_encoding.h"
#include "usage_text.h"

namespace scenario::tool {

namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& file, std::string_view what) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        throw EnvironmentError("the " + std::string(what) + " '" + valid_utf8(file.string()) +
                               "' does not exist or is not a file");
    }
    try {
        return files::read_file(file);
    } catch (const files::FileError& failure) {
        throw EnvironmentError("the " + std::string(what) + " cannot be read: " + failure.what());
    }
}

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
    const auto line_bytes = read_text(line_file, "line description");
    const auto train_bytes = read_text(train_file, "train service text");
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
