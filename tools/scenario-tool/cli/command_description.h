#pragma once

#include <span>
#include <string_view>

namespace scenario::tool {

// What a value or an argument is, so that the shell's completion can offer it.
enum class ValueKind {
    text,       // free text: nothing to offer
    file,       // a file name
    directory,  // a directory name
    choice,     // one of a list of words
};

// How an option is written with its value.
enum class Spelling {
    separate,  // shown "--out DIR"; "--out=DIR" is taken too
    equals,    // shown "--color=WHEN"; "--color WHEN" is taken too
    joined,    // "-Wno-NAME": the value is the rest of the word, wherever the word stands
};

// One option of a command. A flag has no placeholder.
struct OptionDescription {
    std::string_view name{};         // "out" for --out; a joined option's prefix as typed: "-Wno-"
    std::string_view placeholder{};  // the word for the value in the help: "FILE", "DIR", "N"
    ValueKind kind = ValueKind::text;
    Spelling spelling = Spelling::separate;
    bool required = false;
    bool repeats = false;     // may be given more than once; every value is kept, in order
    std::string_view help{};  // its line in the help's list of options; empty where prose tells it
    std::string_view extension{};  // a file: the only extension completion offers ("svg")
    std::span<const std::string_view> (*choices)() = nullptr;  // a choice: the words it takes
    // A joined option: refuses a value as it is read, before the other options, with a
    // UsageError of the command's own words.
    void (*check)(std::string_view value) = nullptr;
    // A name of the scenario (--title, --code): a value that begins with '-' is taken only as
    // --name=VALUE, so that a forgotten value does not swallow the next option.
    bool names_scenario = false;

    constexpr bool is_flag() const { return placeholder.empty(); }
};

// A positional argument: "DIR", "FILE", "N|NAME".
struct ArgumentDescription {
    std::string_view name{};
    ValueKind kind = ValueKind::text;
};

enum class ParagraphKind {
    prose,         // lines as shown, '\n' between them
    list,          // the items, their texts in one column
    options,       // each option with a help line, as "--out DIR" and its line
    command_list,  // the tool's commands, from its command table
    exit_status,   // "exit status: " and the text
};

// A term and its text in a list; the text's lines ('\n' between them) go on in its column.
struct ListItem {
    std::string_view term{};
    std::string_view text{};
};

struct Paragraph {
    ParagraphKind kind = ParagraphKind::prose;
    std::string_view text{};  // prose, exit status
    std::span<const ListItem> items{};
    bool follows = false;  // set right under the paragraph before, without a blank line
};

// One command as its parser, its help, the manual page and the completion know it.
struct CommandDescription {
    std::string_view name{};     // the command word; empty for the program itself
    std::string_view summary{};  // one line in small letters: the tool's command list, NAME
    std::string_view listed_arguments{};  // its arguments in the tool's command list: "DIR", "..."
    std::span<const std::string_view> synopsis{};  // each form after the command word, on one line
    std::span<const OptionDescription> options{};
    std::span<const ArgumentDescription> arguments{};
    std::span<const Paragraph> paragraphs{};
    std::string_view program = "scenario-tool";
};

// The option of that name, or none.
constexpr const OptionDescription* find_option(const CommandDescription& command,
                                               std::string_view name) {
    for (const auto& option : command.options) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

}  // namespace scenario::tool
