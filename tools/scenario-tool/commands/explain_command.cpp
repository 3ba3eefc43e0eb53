#include "commands/explain_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iomanip>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace {

std::vector<ExplainedEntry> fault_entries() {
    std::vector<ExplainedEntry> entries;
    for (const auto& fault : compiler::fault_entries()) {
        entries.push_back({"error", fault.number(), fault.name, fault.sets_position, fault.meaning,
                           fault.explanation});
    }
    return entries;
}

std::vector<ExplainedEntry> warning_entries() {
    std::vector<ExplainedEntry> entries;
    for (const auto& warning : compiler::warning_entries()) {
        entries.push_back(
            {"warning", 0, warning.name, false, warning.meaning, warning.explanation});
    }
    return entries;
}

bool is_warning(const ExplainedEntry& entry) {
    return entry.kind == "warning";
}

// The tables explain looks in, in this order.
constexpr std::array kExplainTables{fault_entries, warning_entries};

// A word of digits alone is a number; anything else is a name.
std::optional<std::int32_t> number_in(std::string_view word) {
    std::int32_t number = 0;
    const auto* end = word.data() + word.size();
    const auto [stop, ec] = std::from_chars(word.data(), end, number);
    if (word.empty() || word.front() == '-' || ec != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return number;
}

void show(const ExplainedEntry& entry, std::ostream& out) {
    if (is_warning(entry)) {
        out << "warning  -W" << entry.name << "  (-Wno-" << entry.name << " silences it)\n"
            << "meaning:   " << entry.meaning << "\n\n"
            << entry.explanation << '\n';
        return;
    }
    out << entry.kind << ' ' << entry.number << "  " << entry.name << '\n'
        << "meaning:   " << entry.meaning << '\n'
        << "position:  "
        << (entry.sets_position ? "recorded with it, in metres" : "none goes with it") << "\n\n"
        << entry.explanation;
}

void list(std::ostream& out) {
    const auto entries = explained_entries();
    std::size_t name_width = 0;
    for (const auto& entry : entries) {
        name_width = std::max(name_width, entry.name.size());
    }
    for (const auto& entry : entries) {
        if (is_warning(entry)) {
            out << "warning     -W" << std::left << std::setw(static_cast<int>(name_width) - 2)
                << entry.name << std::right << "  " << entry.meaning << '\n';
            continue;
        }
        out << entry.kind << ' ' << std::setw(4) << entry.number << "  " << std::left
            << std::setw(static_cast<int>(name_width)) << entry.name << std::right << "  "
            << entry.meaning << '\n';
    }
}

}  // namespace

std::vector<ExplainedEntry> explained_entries() {
    std::vector<ExplainedEntry> all;
    for (const auto table : kExplainTables) {
        const auto entries = table();
        all.insert(all.end(), entries.begin(), entries.end());
    }
    return all;
}

std::optional<ExplainedEntry> find_explained(std::string_view number_or_name) {
    const auto number = number_in(number_or_name);
    for (const auto& entry : explained_entries()) {
        const bool found =
            number ? !is_warning(entry) && entry.number == *number
                   : entry.name == number_or_name ||
                         (is_warning(entry) && "-W" + std::string(entry.name) == number_or_name);
        if (found) {
            return entry;
        }
    }
    return std::nullopt;
}

namespace {

constexpr std::string_view kSynopsis[] = {"N|NAME", "--list"};
constexpr OptionDescription kOptions[] = {{.name = "list"}};
constexpr ArgumentDescription kArguments[] = {{"N|NAME"}};
constexpr Paragraph kParagraphs[] = {
    {.text = "Explains an error the compile reports, by its number N (as in 'error 16') or its\n"
             "name (signal_cell_taken): what it means, whether a position goes with it, what\n"
             "causes it, a line that raises it and how to mend it. --list gives the number, name\n"
             "and meaning of every one; warnings are explained by their names\n"
             "(out-of-order), as check prints them after -W."},
};

constexpr CommandDescription kDescription{
    .name = "explain",
    .summary = "explain an error or a warning (--list: all of them)",
    .listed_arguments = "N|NAME",
    .synopsis = kSynopsis,
    .options = kOptions,
    .arguments = kArguments,
    .paragraphs = kParagraphs,
};

}  // namespace

const CommandDescription& explain_description() {
    return kDescription;
}

int explain_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    if (parsed.flag("list")) {
        expect_positionals(parsed, 0, "");
        list(out);
        return kExitClean;
    }
    expect_positionals(parsed, 1, "the number or name to explain");
    const std::string& word = parsed.positionals[0];
    const auto entry = find_explained(word);
    if (!entry) {
        err << "scenario-tool explain: nothing is " << (number_in(word) ? "numbered" : "named")
            << " '" << valid_utf8(word) << "'\n"
            << "'scenario-tool explain --list' lists every number and name with its meaning\n";
        return kExitUsage;
    }
    show(*entry, out);
    return kExitClean;
}

}  // namespace scenario::tool
