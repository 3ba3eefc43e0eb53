#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::tool {

// One option a command accepts: "--name VALUE" (also "--name=VALUE") or the flag "--name".
struct OptionDescription {
    std::string_view name;  // without the leading dashes
    bool takes_value = false;
    bool repeatable = false;  // a value option that may be given more than once
};

// The arguments of one command, after the command word.
struct ParsedArguments {
    std::vector<std::string> positionals;
    std::map<std::string, std::string, std::less<>> values;
    std::map<std::string, std::vector<std::string>, std::less<>> repeated;  // in the given order
    std::set<std::string, std::less<>> flags;

    bool flag(std::string_view name) const { return flags.contains(name); }
    std::optional<std::string> value(std::string_view name) const;
    // The value of an option that must be given; throws UsageError naming it otherwise.
    std::string required(std::string_view name) const;
    // Every value of a repeatable option, in the order given; empty when it was not given.
    std::vector<std::string> all(std::string_view name) const;
};

// Splits the arguments into positionals, option values and flags. "--help" and "-h" are always
// accepted as the flag "help"; "--" ends the options. Throws UsageError for an unknown option,
// an option given twice that is not repeatable, or an option whose value is missing.
ParsedArguments parse_arguments(std::span<const std::string> args,
                                std::span<const OptionDescription> options);

// Throws UsageError unless exactly `count` positionals were given; `what` names them.
void expect_positionals(const ParsedArguments& parsed, std::size_t count, std::string_view what);

}  // namespace scenario::tool
