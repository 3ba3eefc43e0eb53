#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scenario::docgen {

// What a value on the command line is, read from the word that stands for it in the usage.
struct ValueKind {
    enum Kind { none, file, directory, choice } kind = none;
    std::string extension;             // a file: "svg" for FILE.svg, empty for any file
    std::vector<std::string> choices;  // a choice: "auto|always|never"
};

// An option of a usage form: "--out DIR" (the value after a blank), "--color=WHEN" or
// "--color=auto|never" (after an equals sign), "-Wno-NAME" (joined to the name), "--json".
struct UsageOption {
    std::string name;  // "--out", "--color", "-Wno-"
    enum Joint { flag, separate, equals, joined } joint = flag;
    std::string value;  // the word for the value: "DIR", "auto|always|never", "NAME"
};

struct UsageForm {
    std::vector<std::string> command;  // "scenario-tool", "compile"
    std::vector<UsageOption> options;
    std::vector<std::string> positionals;  // "DIR", "FILE", "N|NAME"
};

// Reads a form such as "scenario-tool dump FILE [--json] [--cells A..B]". The command is the
// leading words in small letters before the first value or option.
UsageForm parse_usage_form(std::string_view form);

ValueKind value_kind(std::string_view word);

}  // namespace scenario::docgen
