#include "bash_completion.h"

#include <algorithm>

#include "help_text.h"

namespace scenario::docgen {

namespace {

std::string join(const std::vector<std::string>& words, std::string_view separator) {
    std::string out;
    for (const auto& word : words) {
        out += (out.empty() ? "" : std::string(separator)) + word;
    }
    return out;
}

// The shell words that complete a value of this kind, ending with `return`.
std::string value_completion(const ValueKind& kind, std::string_view indent) {
    const std::string pad(indent);
    switch (kind.kind) {
        case ValueKind::file:
            return pad + "_filedir" + (kind.extension.empty() ? "" : " " + kind.extension) + "\n";
        case ValueKind::directory:
            return pad + "_filedir -d\n";
        case ValueKind::choice:
            return pad + "COMPREPLY=($(compgen -W '" + join(kind.choices, " ") +
                   "' -- \"$cur\"))\n";
        case ValueKind::none:
            break;
    }
    return {};
}

std::string function_name(std::string_view program) {
    std::string name = "_";
    for (const char c : program) {
        name += c == '-' ? '_' : c;
    }
    return name;
}

}  // namespace

CommandCompletion command_completion(std::string_view name, std::string_view help) {
    CommandCompletion completion{std::string(name), {}, {}};
    for (const auto& form : parse_help(help).forms) {
        const UsageForm usage = parse_usage_form(form);
        for (const auto& option : usage.options) {
            const bool known =
                std::any_of(completion.options.begin(), completion.options.end(),
                            [&](const UsageOption& other) { return other.name == option.name; });
            if (!known) {
                completion.options.push_back(option);
            }
        }
        for (const auto& positional : usage.positionals) {
            const ValueKind kind = value_kind(positional);
            if (completion.positional.kind == ValueKind::none &&
                (kind.kind == ValueKind::file || kind.kind == ValueKind::directory)) {
                completion.positional = kind;
            }
        }
    }
    return completion;
}

std::vector<std::string> help_topics(std::string_view tool_help) {
    std::vector<std::string> topics;
    for (const auto& block : parse_help(tool_help).blocks) {
        for (const auto& item : block.items) {
            const UsageForm usage = parse_usage_form(item.term);
            if (usage.command.size() == 2 && usage.command[0] == "help") {
                topics.push_back(usage.command[1]);
            }
        }
    }
    return topics;
}

std::string bash_completion(std::string_view program, std::string_view tool_help,
                            const std::vector<CommandPage>& commands) {
    std::vector<std::string> names;
    for (const auto& command : commands) {
        names.emplace_back(command.name);
    }
    std::vector<std::string> help_words = names;
    for (const auto& topic : help_topics(tool_help)) {
        help_words.push_back(topic);
    }
    names.emplace_back("help");

    std::string cases;
    for (const auto& command : commands) {
        const auto completion = command_completion(command.name, command.help);
        // Options whose values complete alike share a branch: "--line | --train)".
        std::vector<std::pair<std::string, std::vector<std::string>>> value_branches;
        std::vector<std::string> option_words;
        for (const auto& option : completion.options) {
            switch (option.joint) {
                case UsageOption::flag:
                case UsageOption::joined:
                    option_words.push_back(option.name);
                    break;
                case UsageOption::separate:
                case UsageOption::equals: {
                    option_words.push_back(option.name +
                                           (option.joint == UsageOption::equals ? "=" : ""));
                    const auto action =
                        value_completion(value_kind(option.value), "                    ");
                    auto branch = std::find_if(value_branches.begin(), value_branches.end(),
                                               [&](const auto& b) { return b.first == action; });
                    if (branch == value_branches.end()) {
                        branch = value_branches.insert(value_branches.end(), {action, {}});
                    }
                    branch->second.push_back(option.name);
                    break;
                }
            }
        }
        option_words.emplace_back("--help");
        cases += "        " + completion.name + ")\n";
        if (!value_branches.empty()) {
            cases += "            case $prev in\n";
            for (const auto& [action, names] : value_branches) {
                cases += "                " + join(names, " | ") + ")\n" + action +
                         "                    return\n                    ;;\n";
            }
            cases += "            esac\n";
        }
        cases +=
            "            $split && return\n"
            "            if [[ $cur == -* ]]; then\n"
            "                COMPREPLY=($(compgen -W '" +
            join(option_words, " ") +
            "' -- \"$cur\"))\n"
            "                [[ ${COMPREPLY-} == *[=-] ]] && compopt -o nospace\n"
            "                return\n"
            "            fi\n" +
            value_completion(completion.positional, "            ") + "            ;;\n";
    }
    cases +=
        "        help)\n"
        "            ((cword == 2)) && COMPREPLY=($(compgen -W '" +
        join(help_words, " ") +
        "' -- \"$cur\"))\n"
        "            ;;\n";

    const std::string function = function_name(program);
    return "# bash completion for " + std::string(program) +
           "                                -*- shell-script -*-\n"
           "# Made from the help texts of the program by scenario-docgen: do not edit.\n"
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
