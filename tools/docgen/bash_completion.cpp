#include "bash_completion.h"

#include <algorithm>
#include <vector>

namespace scenario::docgen {

namespace {

using tool::OptionDescription;
using tool::Spelling;
using tool::ValueKind;

std::string join(const std::vector<std::string>& words, std::string_view separator) {
    std::string out;
    for (const auto& word : words) {
        out += (out.empty() ? "" : std::string(separator)) + word;
    }
    return out;
}

std::vector<std::string> choices_of(const OptionDescription& option) {
    std::vector<std::string> words;
    if (option.choices != nullptr) {
        for (const auto word : option.choices()) {
            words.emplace_back(word);
        }
    }
    return words;
}

// The shell words that complete a value of this kind, each line indented so.
std::string value_completion(ValueKind kind, std::string_view extension,
                             const std::vector<std::string>& choices, std::string_view indent) {
    const std::string pad(indent);
    switch (kind) {
        case ValueKind::file:
            return pad + "_filedir" + (extension.empty() ? "" : " " + std::string(extension)) +
                   "\n";
        case ValueKind::directory:
            return pad + "_filedir -d\n";
        case ValueKind::choice:
            return pad + "COMPREPLY=($(compgen -W '" + join(choices, " ") + "' -- \"$cur\"))\n";
        case ValueKind::text:
            break;
    }
    return {};
}

// The word as the command line starts it: "--out", "--color=", "-Wno-".
std::string option_word(const OptionDescription& option) {
    switch (option.spelling) {
        case Spelling::joined:
            return std::string(option.name);
        case Spelling::equals:
            return "--" + std::string(option.name) + "=";
        case Spelling::separate:
            break;
    }
    return "--" + std::string(option.name);
}

std::string function_name(std::string_view program) {
    std::string name = "_";
    for (const char c : program) {
        name += c == '-' ? '_' : c;
    }
    return name;
}

std::string command_branch(const tool::CommandDescription& command) {
    // Options whose values complete alike share a branch: "--line | --train)".
    std::vector<std::pair<std::string, std::vector<std::string>>> value_branches;
    std::string joined_branches;
    std::vector<std::string> option_words;
    for (const auto& option : command.options) {
        option_words.push_back(option_word(option));
        if (option.is_flag()) {
            continue;
        }
        const auto action = value_completion(option.kind, option.extension, choices_of(option),
                                             "                    ");
        if (option.spelling == Spelling::joined) {
            // The value is part of the word: "-Wno-out" completes to the names after "-Wno-".
            if (option.kind == ValueKind::choice) {
                const std::string prefix(option.name);
                joined_branches += "                " + prefix +
                                   "*)\n"
                                   "                    COMPREPLY=($(compgen -P " +
                                   prefix + " -W '" + join(choices_of(option), " ") +
                                   "' -- \"${cur#" + prefix +
                                   "}\"))\n"
                                   "                    return\n"
                                   "                    ;;\n";
            }
            continue;
        }
        auto branch = std::find_if(value_branches.begin(), value_branches.end(),
                                   [&](const auto& b) { return b.first == action; });
        if (branch == value_branches.end()) {
            branch = value_branches.insert(value_branches.end(), {action, {}});
        }
        branch->second.push_back("--" + std::string(option.name));
    }
    option_words.emplace_back("--help");

    std::string out = "        " + std::string(command.name) + ")\n";
    if (!value_branches.empty()) {
        out += "            case $prev in\n";
        for (const auto& [action, names] : value_branches) {
            out += "                " + join(names, " | ") + ")\n" + action +
                   "                    return\n                    ;;\n";
        }
        out += "            esac\n";
    }
    out += "            $split && return\n";
    if (!joined_branches.empty()) {
        out += "            case $cur in\n" + joined_branches + "            esac\n";
    }
    out +=
        "            if [[ $cur == -* ]]; then\n"
        "                COMPREPLY=($(compgen -W '" +
        join(option_words, " ") +
        "' -- \"$cur\"))\n"
        "                [[ ${COMPREPLY-} == *[=-] ]] && compopt -o nospace\n"
        "                return\n"
        "            fi\n";
    // The first argument that is a file or a directory, as the forms give them.
    const auto argument = std::find_if(
        command.arguments.begin(), command.arguments.end(),
        [](const auto& a) { return a.kind == ValueKind::file || a.kind == ValueKind::directory; });
    if (argument != command.arguments.end()) {
        out += value_completion(argument->kind, {}, {}, "            ");
    }
    return out + "            ;;\n";
}

}  // namespace

std::string bash_completion(std::string_view program,
                            std::span<const tool::CommandDescription* const> commands,
                            std::span<const std::string_view> help_topics) {
    std::vector<std::string> names;
    std::string cases;
    for (const auto* command : commands) {
        names.emplace_back(command->name);
        cases += command_branch(*command);
    }
    std::vector<std::string> help_words = names;
    help_words.insert(help_words.end(), help_topics.begin(), help_topics.end());
    names.emplace_back("help");
    cases +=
        "        help)\n"
        "            ((cword == 2)) && COMPREPLY=($(compgen -W '" +
        join(help_words, " ") +
        "' -- \"$cur\"))\n"
        "            ;;\n";
    const std::string function = function_name(program);
    return "# bash completion for " + std::string(program) +
           "                                -*- shell-script -*-\n"
           "# Made from the command descriptions of the program by scenario-docgen: do not "
           "edit.\n"
           "\n" +
           function +
           "()\n"
           "{\n"
           "    local cur prev words cword split\n"
           "    _init_completion -s || return\n"
           "\n"
           "    if ((cword == 1)); then\n"
           "        COMPREPLY=($(compgen -W '" +
           join(names, " ") +
           " --help --version' -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "\n"
           "    case ${words[1]} in\n" +
           cases +
           "    esac\n"
           "} &&\n"
           "    complete -F " +
           function + " " + std::string(program) + "\n";
}

}  // namespace scenario::docgen
