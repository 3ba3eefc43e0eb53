#include "commands/documents_command.h"

#include <charconv>
#include <exception>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "compiler/compile.h"
#include "documents/document_forms.h"
#include "documents/slowdown_order.h"
#include "files/directory_lock.h"
#include "files/file_names.h"
#include "files/output_file.h"
#include "files/output_set.h"
#include "files/replace_file.h"
#include "io/author_texts.h"
#include "io/output_guard.h"
#include "io/safe_names.h"
#include "io/text_encoding.h"
#include "io/texts_request.h"
#include "io/windows_1252_argument.h"

namespace scenario::tool {

namespace fs = std::filesystem;

DocumentsResult make_documents(const DocumentsInput& input) {
    // As the builder compiles, the plan too: a fault of the plan is a fault here too.
    ReadScenario read;
    ReadRequest request;
    request.LineTitle = input.LineTitle;
    request.TrainCode = input.TrainCode;
    request.reading.recovers = false;
    DocumentsResult result;
    try {
        read_scenario(read, {input.names.line_text, std::string(input.line_text)},
                      {input.names.train_text, std::string(input.train_text)}, request);
    } catch (const std::exception& failure) {
        result.compile.outcome = CompileOutcome::refused;
        result.compile.message = std::string("the texts cannot be compiled: ") + failure.what();
        return result;
    }
    result.compile = make_report(read.state, read.output, input.names);
    if (result.compile.outcome != CompileOutcome::clean) {
        return result;
    }
    auto scenario = document_scenario(read);
    leave_off(scenario, input.leaveOff);
    result.documents = Documents{train_card(scenario, input.card), slowdown_order(scenario),
                                 scenario.slowdowns.size(), speed_changes_without_board(scenario)};
    return result;
}

namespace {

constexpr std::string_view kSynopsis[] = {
    "[--line FILE] [--train FILE] [--title TITLE] [--code CODE] [--out DIR] [--project FILE] "
    "[--leave-off NAME]... [--category TEXT] [--classification TEXT] [--locked-mass TONNES] "
    "[--force] [--no-lock]"};
constexpr OptionDescription kOptions[] = {
    kLineOption,
    kTrainOption,
    {.name = "title",
     .placeholder = "TITLE",
     .help = "the line title, which names the files",
     .names_scenario = true},
    {.name = "code", .placeholder = "CODE", .help = "the train code", .names_scenario = true},
    {.name = "out",
     .placeholder = "DIR",
     .kind = ValueKind::directory,
     .help = "an existing directory for the two documents"},
    kProjectOption,
    {.name = "leave-off",
     .placeholder = "NAME",
     .repeats = true,
     .help = "leave this location off both documents (repeatable)"},
    {.name = "category",
     .placeholder = "TEXT",
     .help = "the train's category on the card (default \"V140 B\")"},
    {.name = "classification",
     .placeholder = "TEXT",
     .help = "its classification (default REGIONALE)"},
    {.name = "locked-mass", .placeholder = "TONNES", .help = "its locked mass (default 330)"},
    kForceOption,
    kNoLockOption,
};
constexpr Paragraph kParagraphs[] = {
    {.text = "Compiles the two texts as scenario-builder does and, when they compile without a\n"
             "fault, writes into DIR the train card <TITLE>_<CODE>_scheda_treno.txt and the\n"
             "slowdown order <TITLE>_<CODE>_rallentamenti.txt (Windows-1252, CR LF), both or\n"
             "neither. The card has a row for every station line, with its kilometre on the\n"
             "line's chainage and its times, and a row wherever the speed limit or the running\n"
             "speed changes; the order a row for every slowdown line."},
    {.text = kProjectParagraph},
    {.kind = ParagraphKind::options},
    {.text = "The built-in texts with --leave-off \"LIDO DI SERENA\" give the builder's documents\n"
             "byte for byte. A value the documents cannot print (a name longer than its column,\n"
             "a time off the half minute, more than 99 slowdowns) is refused, naming the line."},
    {.kind = ParagraphKind::exit_status,
     .text = "0 written, 1 the texts have a fault, 2 wrong usage, a value that\n"
             "cannot be printed or unusable files; with 1 and 2 nothing is written",
     .follows = true},
};

constexpr CommandDescription kDescription{
    .name = "documents",
    .summary = "make the train card and the slowdown order from the texts",
    .listed_arguments = "...",
    .synopsis = kSynopsis,
    .options = kOptions,
    .paragraphs = kParagraphs,
};

// A text the card prints in a cell: control characters would break its lines.
std::string card_text_argument(const std::string& given, std::string_view option) {
    std::string text = windows_1252_argument(given, option);
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            throw UsageError("--" + std::string(option) + " holds a control character");
        }
    }
    return text;
}

std::int32_t tonnes_argument(const std::string& given) {
    std::int32_t tonnes = 0;
    const auto [end, ec] = std::from_chars(given.data(), given.data() + given.size(), tonnes);
    if (ec != std::errc() || end != given.data() + given.size() || tonnes < 0) {
        throw UsageError("--locked-mass takes the locked mass in whole tonnes, not '" +
                         valid_utf8(given) + "'");
    }
    return tonnes;
}

// "FILE:LINE: " for a value of the train text, the command for one of the options.
std::string place(const std::string& train_text, std::int32_t line) {
    return line > 0 ? train_text + ":" + std::to_string(line) + ": "
                    : std::string("scenario-tool documents: ");
}

}  // namespace

const CommandDescription& documents_description() {
    return kDescription;
}

int documents_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    auto texts = resolve_texts(
        parsed, {.line = true, .train = true, .title = true, .code = true, .out = true});
    const fs::path line_text = std::move(texts.line_text);
    const fs::path train_text = std::move(texts.train_text);
    const fs::path out_directory = std::move(texts.out_directory);
    const WriteRules rules = write_rules(parsed);
    DocumentsInput input;
    input.LineTitle = std::move(texts.LineTitle);
    input.TrainCode = std::move(texts.TrainCode);
    for (const auto& name : parsed.all("leave-off")) {
        input.leaveOff.push_back(windows_1252_argument(name, "leave-off"));
    }
    if (const auto category = parsed.value("category")) {
        input.card.category = card_text_argument(*category, "category");
    }
    if (const auto classification = parsed.value("classification")) {
        input.card.classification = card_text_argument(*classification, "classification");
    }
    if (const auto tonnes = parsed.value("locked-mass")) {
        input.card.lockedMass = tonnes_argument(*tonnes);
    }
    if (auto reason = unsafe_names_reason(input.LineTitle, input.TrainCode)) {
        throw UsageError(*reason);
    }

    const auto line_bytes = read_input(line_text, "line description");
    const auto train_bytes = read_input(train_text, "train service text");
    // The builder's order: the slowdown order, then the train card.
    const std::vector<std::string> names{
        files::slowdown_order_name(input.LineTitle, input.TrainCode),
        files::train_card_name(input.LineTitle, input.TrainCode)};
    check_outputs(out_directory, names, {line_text, train_text}, rules);

    input.line_text = line_bytes;
    input.train_text = train_bytes;
    input.names = {shown(line_text), shown(train_text)};
    DocumentsResult result;
    try {
        result = make_documents(input);
    } catch (const DocumentRefusal& refusal) {
        err << place(input.names.train_text, refusal.line()) << refusal.what()
            << "; no document was written\n";
        return kExitUsage;
    }
    if (!result.documents) {
        err << diagnostic_line(result.compile) << '\n'
            << "scenario-tool documents: the documents are made only from texts that compile "
               "without a fault; no document was written\n";
        return kExitTextFault;
    }
    const auto& documents = *result.documents;
    for (const auto& note : documents.notes) {
        err << place(input.names.train_text, note.line) << "warning: " << note.message << '\n';
    }

    const std::string order = document_bytes(documents.order);
    const std::string card = document_bytes(documents.card.lines);
    const auto bytes = [](const std::string& text) {
        return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    const OutputDirectoryLock lock(out_directory, rules);
    try {
        files::OutputSet set(rules.read_only);
        set.add(files::full_path(out_directory, names[0]), bytes(order));
        set.add(files::full_path(out_directory, names[1]), bytes(card));
        set.commit();
    } catch (const files::FileError& failure) {
        throw EnvironmentError(std::string("the documents could not be written: ") +
                               failure.what());
    }
    out << "train card: " << documents.card.locationRows << " locations, "
        << documents.card.speedRows << " speed rows; slowdown order: " << documents.restrictions
        << (documents.restrictions == 1 ? " restriction\n" : " restrictions\n");
    return kExitClean;
}

}  // namespace scenario::tool
