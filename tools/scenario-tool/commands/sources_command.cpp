#include "commands/sources_command.h"

#include <system_error>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "files/file_names.h"
#include "files/output_set.h"
#include "files/replace_file.h"
#include "io/output_guard.h"
#include "io/text_encoding.h"
#include "sources/scenario_names.h"
#include "sources/writers.h"

namespace scenario::tool {

namespace fs = std::filesystem;
using sources::kLineTitle;
using sources::kTrainCode;

std::vector<std::string> write_sources(const fs::path& directory, bool replace,
                                       files::Locking locking) {
    WriteRules rules;
    rules.locking = locking;
    rules.read_only = replace ? files::ReadOnly::replace : files::ReadOnly::refuse;
    // The order of the builder: line, train, notes, slowdown order, train card.
    const std::vector<std::string> names{files::line_text_name(kLineTitle),
                                         files::train_text_name(kLineTitle, kTrainCode),
                                         files::notes_name(kLineTitle, kTrainCode),
                                         files::slowdown_order_name(kLineTitle, kTrainCode),
                                         files::train_card_name(kLineTitle, kTrainCode)};
    std::error_code ec;
    if (fs::exists(directory, ec) && !fs::is_directory(directory, ec)) {
        throw EnvironmentError("'" + shown(directory) + "' is not a directory");
    }
    fs::create_directories(directory, ec);
    if (ec) {
        throw EnvironmentError("cannot make the directory '" + shown(directory) +
                               "': " + ec.message());
    }
    for (const auto& name : names) {
        check_output(files::full_path(directory, name), {}, rules);
    }
    if (!replace) {
        for (const auto& name : names) {
            if (fs::exists(files::full_path(directory, name), ec)) {
                throw EnvironmentError("'" + valid_utf8(name) +
                                       "' is already there and may hold your edits; nothing was "
                                       "written (--force replaces the texts)");
            }
        }
    }
    const OutputDirectoryLock lock(directory, rules);
    try {
        // One set: the five texts are replaced together or not at all.
        files::OutputSet texts(rules.read_only);
        sources::dati_linea(texts, directory, kLineTitle);
        sources::dati_treno(texts, directory, kLineTitle, kTrainCode);
        sources::dati_note(texts, directory, kLineTitle, kTrainCode);
        sources::dati_rallentamenti(texts, directory, kLineTitle, kTrainCode);
        sources::dati_scheda(texts, directory, kLineTitle, kTrainCode);
        texts.commit();
    } catch (const files::FileError& failure) {
        throw EnvironmentError(std::string("the texts could not be written: ") + failure.what());
    }
    return names;
}

namespace {

constexpr std::string_view kSynopsis[] = {"DIR [--force] [--no-lock]"};
constexpr OptionDescription kOptions[] = {
    {.name = "force", .help = "replace texts that are already there, read-only ones too"},
    kNoLockOption,
};
constexpr ArgumentDescription kArguments[] = {{"DIR", ValueKind::directory}};
constexpr Paragraph kParagraphs[] = {
    {.text =
         "Writes the five built-in texts into DIR (made if absent) under the names the builder\n"
         "gives them, byte for byte what scenario-builder writes: the line description\n"
         "(<title>_linea.txt), the train service text (<title>_<code>-.txt), the train card,\n"
         "the slowdown order and the notes, as one set: all five or none. Deletes nothing. A\n"
         "file of the same name that is already there is left alone and the command fails,\n"
         "unless --force replaces it (a read-only one too, which keeps its mode)."},
    {.kind = ParagraphKind::options},
};

constexpr CommandDescription kDescription{
    .name = "sources",
    .summary = "write the built-in texts into DIR",
    .listed_arguments = "DIR",
    .synopsis = kSynopsis,
    .options = kOptions,
    .arguments = kArguments,
    .paragraphs = kParagraphs,
};

}  // namespace

const CommandDescription& sources_description() {
    return kDescription;
}

int sources_command(std::span<const std::string> args, std::ostream& out, std::ostream& /*err*/) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    expect_positionals(parsed, 1, "the directory DIR");
    const fs::path directory = path_argument(parsed.positionals[0]);
    const auto rules = write_rules(parsed);
    for (const auto& name : write_sources(directory, parsed.flag("force"), rules.locking)) {
        out << escape_controls(shown(files::full_path(directory, name))) << '\n';
    }
    return kExitClean;
}

}  // namespace scenario::tool
