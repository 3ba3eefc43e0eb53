#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "help_page.h"
#include "usage_form.h"

namespace scenario::docgen {

// What the completion offers after a command word: its options and what its values and
// positional arguments are, gathered from all the forms of its usage.
struct CommandCompletion {
    std::string name;
    std::vector<UsageOption> options;
    ValueKind positional;  // files, directories or nothing
};

CommandCompletion command_completion(std::string_view name, std::string_view help);

// The words `help` takes besides the command names: the topics the tool's own help lists as
// "help TOPIC" (help format).
std::vector<std::string> help_topics(std::string_view tool_help);

// A bash completion script for the program, for bash-completion's loader: the command words
// (and --help, --version) first, then each command's options, the values they take (files,
// directories, choices) and its file or directory arguments.
std::string bash_completion(std::string_view program, std::string_view tool_help,
                            const std::vector<CommandPage>& commands);

}  // namespace scenario::docgen
