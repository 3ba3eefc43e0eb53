#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_description.h"

namespace scenario::tool {

// The arguments of one command, after the command word. Asking for an option the command's
// description does not declare, or asking for it as what it is not (the value of a flag, every
// value of an option given once), is a fault of the command: std::logic_error.
class ParsedArguments {
  public:
    explicit ParsedArguments(const CommandDescription& description) : description_(&description) {}

    std::vector<std::string> positionals;

    // Whether the flag was given; "help" is always declared.
    bool flag(std::string_view name) const;
    std::optional<std::string> value(std::string_view name) const;
    // The value of a required option; throws UsageError naming it when it was not given.
    std::string required(std::string_view name) const;
    // Every value of an option that repeats, in the order given; empty when it was not given.
    std::vector<std::string> all(std::string_view name) const;

  private:
    friend ParsedArguments parse_arguments(std::span<const std::string> args,
                                           const CommandDescription& description);
    enum class Asked { flag, value, required, all };
    void expect_declared(std::string_view name, Asked asked) const;

    const CommandDescription* description_;
    std::map<std::string, std::string, std::less<>> values_;
    std::map<std::string, std::vector<std::string>, std::less<>> repeated_;  // in the given order
    std::set<std::string, std::less<>> flags_;
};

// Splits the arguments by the command's description into positionals, option values and flags.
// Joined options ("-Wno-NAME") are taken out first, wherever they stand. "--help" and "-h" are
// always accepted as the flag "help"; "--" ends the options. Throws UsageError for an option
// not in the description, an option given twice that does not repeat, a flag given a value or
// an option whose value is missing.
ParsedArguments parse_arguments(std::span<const std::string> args,
                                const CommandDescription& description);

// Throws UsageError unless exactly `count` positionals were given; `what` names them.
void expect_positionals(const ParsedArguments& parsed, std::size_t count, std::string_view what);

}  // namespace scenario::tool
