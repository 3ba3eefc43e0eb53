#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/command_description.h"

namespace scenario::docgen {

// A bash completion script for the program, for bash-completion's loader: the command words
// (and --help, --version) first, then each command's options, the values they take (files,
// directories, choices, the names after a joined option such as -Wno-) and its file or
// directory argument; after `help`, the commands and the help topics.
std::string bash_completion(std::string_view program,
                            std::span<const tool::CommandDescription* const> commands,
                            std::span<const std::string_view> help_topics);

}  // namespace scenario::docgen
