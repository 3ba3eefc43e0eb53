#include "cli/command_line.h"

#include <stdexcept>

#include "cli/exit_status.h"

namespace scenario::tool {

namespace {

// The joined option the word starts with, the longest prefix when several do ("-W", "-Wno-").
const OptionDescription* joined_option(const CommandDescription& description,
                                       std::string_view word) {
    const OptionDescription* found = nullptr;
    for (const auto& option : description.options) {
        if (option.spelling == Spelling::joined && word.starts_with(option.name) &&
            (found == nullptr || option.name.size() > found->name.size())) {
            found = &option;
        }
    }
    return found;
}

}  // namespace

void ParsedArguments::expect_declared(std::string_view name, Asked asked) const {
    if (name == "help" && asked == Asked::flag) {
        return;
    }
    const auto* option = find_option(*description_, name);
    const auto fault = [&](std::string_view what) {
        throw std::logic_error(std::string(description_->program) + " " +
                               std::string(description_->name) + " asks for the option '" +
                               std::string(name) + "', " + std::string(what));
    };
    if (option == nullptr) {
        fault("which its description does not declare");
    }
    if ((asked == Asked::flag) != option->is_flag()) {
        fault(option->is_flag() ? "a flag, for a value" : "which takes a value, as a flag");
    }
    if ((asked == Asked::all) != option->repeats) {
        fault(option->repeats ? "which repeats, for one value" : "given once, for every value");
    }
    if (asked == Asked::required && !option->required) {
        fault("which its description does not call required, as required");
    }
}

bool ParsedArguments::flag(std::string_view name) const {
    expect_declared(name, Asked::flag);
    return flags_.contains(name);
}

std::optional<std::string> ParsedArguments::value(std::string_view name) const {
    expect_declared(name, Asked::value);
    const auto it = values_.find(name);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string ParsedArguments::required(std::string_view name) const {
    expect_declared(name, Asked::required);
    const auto it = values_.find(name);
    if (it == values_.end()) {
        throw UsageError("missing --" + std::string(name));
    }
    return it->second;
}

std::vector<std::string> ParsedArguments::all(std::string_view name) const {
    expect_declared(name, Asked::all);
    const auto it = repeated_.find(name);
    if (it == repeated_.end()) {
        return {};
    }
    return it->second;
}

ParsedArguments parse_arguments(std::span<const std::string> args,
                                const CommandDescription& description) {
    ParsedArguments parsed(description);
    std::vector<std::string_view> rest;
    for (const std::string& arg : args) {
        const auto* joined = joined_option(description, arg);
        if (joined == nullptr) {
            rest.push_back(arg);
            continue;
        }
        const std::string name(joined->name);
        const auto value = std::string_view(arg).substr(name.size());
        if (joined->check != nullptr) {
            joined->check(value);
        }
        if (!joined->repeats && parsed.values_.contains(name)) {
            throw UsageError(name + " given twice");
        }
        if (joined->repeats) {
            parsed.repeated_[name].emplace_back(value);
        } else {
            parsed.values_.emplace(name, value);
        }
    }
    bool options_ended = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string_view arg = rest[i];
        if (options_ended || arg == "-" || !arg.starts_with("-")) {
            parsed.positionals.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed.flags_.insert("help");
            continue;
        }
        if (!arg.starts_with("--")) {
            throw UsageError("unknown option '" + std::string(arg) + "'");
        }
        std::string name(arg.substr(2));
        std::optional<std::string> inline_value;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inline_value = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto* option = find_option(description, name);
        if (option == nullptr || option->spelling == Spelling::joined) {
            throw UsageError("unknown option '--" + name + "'");
        }
        if (parsed.values_.contains(name) || parsed.flags_.contains(name)) {
            throw UsageError("--" + name + " given twice");
        }
        if (option->is_flag()) {
            if (inline_value) {
                throw UsageError("--" + name + " takes no value");
            }
            parsed.flags_.insert(name);
            continue;
        }
        if (!inline_value) {
            if (i + 1 >= rest.size()) {
                throw UsageError("--" + name + " needs a value");
            }
            inline_value = rest[++i];
            if (option->names_scenario && inline_value->starts_with("-")) {
                throw UsageError("--" + name + " is given '" + *inline_value +
                                 "', which begins with '-' and is no " + name + "; write --" +
                                 name + "=" + *inline_value + " if that is the " + name +
                                 " you mean");
            }
        }
        if (option->repeats) {
            parsed.repeated_[name].push_back(*inline_value);
        } else {
            parsed.values_.emplace(name, *inline_value);
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
