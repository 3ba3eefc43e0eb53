#include "cli/command_line.h"

#include <algorithm>

#include "cli/exit_status.h"

namespace scenario::tool {

std::optional<std::string> ParsedArguments::value(std::string_view name) const {
    const auto it = values.find(name);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string ParsedArguments::required(std::string_view name) const {
    auto given = value(name);
    if (!given) {
        throw UsageError("missing --" + std::string(name));
    }
    return *given;
}

std::vector<std::string> ParsedArguments::all(std::string_view name) const {
    const auto it = repeated.find(name);
    if (it == repeated.end()) {
        return {};
    }
    return it->second;
}

ParsedArguments parse_arguments(std::span<const std::string> args,
                                std::span<const OptionDescription> options) {
    ParsedArguments parsed;
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_ended || arg == "-" || !arg.starts_with("-")) {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed.flags.insert("help");
            continue;
        }
        if (!arg.starts_with("--")) {
            throw UsageError("unknown option '" + arg + "'");
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inline_value;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inline_value = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto option =
            std::find_if(options.begin(), options.end(),
                         [&](const OptionDescription& o) { return o.name == name; });
        if (option == options.end()) {
            throw UsageError("unknown option '--" + name + "'");
        }
        if (parsed.values.contains(name) || parsed.flags.contains(name)) {
            throw UsageError("--" + name + " given twice");
        }
        if (!option->takes_value) {
            if (inline_value) {
                throw UsageError("--" + name + " takes no value");
            }
            parsed.flags.insert(name);
            continue;
        }
        if (!inline_value) {
            if (i + 1 >= args.size()) {
                throw UsageError("--" + name + " needs a value");
            }
            inline_value = args[++i];
        }
        if (option->repeatable) {
            parsed.repeated[name].push_back(*inline_value);
        } else {
            parsed.values.emplace(name, *inline_value);
        }
    }
    return parsed;
}

void expect_positionals(const ParsedArguments& parsed, std::size_t count, std::string_view what) {
    if (parsed.positionals.size() < count) {
        throw UsageError("missing " + std::string(what));
    }
    if (parsed.positionals.size() > count) {
        throw UsageError("unexpected argument '" + parsed.positionals[count] + "'");
    }
}

}  // namespace scenario::tool
