#pragma once

#include <string_view>

namespace scenario::driver {

// What `scenario-builder --help` prints; its manual page is made from the same text.
inline constexpr std::string_view kUsage =
    "usage: scenario-builder\n"
    "       scenario-builder --help | --version\n"
    "\n"
    "Writes the built-in scenario into the directory of this executable: the train card,\n"
    "the slowdown order, the notes, and the compact files for the simulator (.sim, .dat,\n"
    "_linea.dat). Shows the window \"Attendere\" while it works and ends by itself.\n"
    "Copy the program into the directory where the scenario should appear and start it there.\n"
    "\n"
    "  --help     show this text\n"
    "  --version  show the name and version\n"
    "\n"
    "Exit status: 0 clean, 1 the scenario has a recorded fault, 2 an error box was shown,\n"
    "3 a file could not be written, 64 an argument it does not know.\n";

}  // namespace scenario::driver
