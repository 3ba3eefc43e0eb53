#pragma once

#include <string>
#include <string_view>

namespace scenario::driver {

// The builder's command line as `scenario-builder --help` shows it; its manual page is made
// from the same pieces.
struct UsageOption {
    std::string_view name;  // without the dashes
    std::string_view help;
};

inline constexpr std::string_view kProgram = "scenario-builder";
inline constexpr std::string_view kSummary =
    "writes the built-in scenario into the directory of this executable";
// Each form after the program's name.
inline constexpr std::string_view kForms[] = {"", "--help | --version"};
inline constexpr std::string_view kDescription =
    "Writes the built-in scenario into the directory of this executable: the train card,\n"
    "the slowdown order, the notes, and the compact files for the simulator (.sim, .dat,\n"
    "_linea.dat). Shows the window \"Attendere\" while it works and ends by itself.\n"
    "Copy the program into the directory where the scenario should appear and start it there.\n"
    "The three documents and the three compact files are each replaced as one set: a run that\n"
    "is stopped leaves each set wholly old or wholly new. After a run that was killed, the next\n"
    "run in the directory first completes the set it left from its journal and removes its\n"
    "temporary files. A read-only output is not replaced: make it writable to build again.";
inline constexpr UsageOption kOptions[] = {
    {"help", "show this text"},
    {"version", "show the name and version"},
};
inline constexpr std::string_view kExitStatus =
    "Exit status: 0 clean, 1 the scenario has a recorded fault, 2 an error box was shown,\n"
    "3 a file could not be written (or the directory could not be locked), 64 an argument it\n"
    "does not know.";

// What `scenario-builder --help` prints.
std::string usage_text();

}  // namespace scenario::driver
