#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/command_description.h"
#include "files/directory_lock.h"

namespace scenario::tool {

// Writes the five built-in texts into the directory with the builder's own writers and names,
// in the builder's order; makes the directory when absent. A name that is not a regular file
// (a link, a directory, a FIFO) stops it before anything is written (EnvironmentError), and so,
// unless `replace` is set, does a text of the same name already there.
// With `replace` (--force) read-only texts are replaced too. The five are written as one set.
// Returns the names written.
std::vector<std::string> write_sources(const std::filesystem::path& directory, bool replace,
                                       files::Locking locking = files::Locking::required);

// `scenario-tool sources DIR [--force]`; returns the exit status.
const CommandDescription& sources_description();
int sources_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
