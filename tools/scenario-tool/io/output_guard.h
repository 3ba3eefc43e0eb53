#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "files/directory_lock.h"
#include "files/output_file.h"

namespace scenario::tool {

// How a command that writes treats its directory and its outputs: --no-lock writes where the
// directory cannot be locked, --force replaces read-only outputs (which keep their mode).
struct WriteRules {
    files::Locking locking = files::Locking::required;
    files::ReadOnly read_only = files::ReadOnly::refuse;
};
inline constexpr OptionDescription kNoLockOption{
    .name = "no-lock", .help = "write even where the directory cannot be locked"};
inline constexpr OptionDescription kForceOption{
    .name = "force", .help = "replace outputs that are read-only (they keep their mode)"};
WriteRules write_rules(const ParsedArguments& parsed);

// Holds the output directory while the command writes there (see files::DirectoryLock: a
// second writer waits, and what a killed writer left is put right first). Throws
// EnvironmentError when it cannot be held, naming --no-lock where no lock can be had.
class OutputDirectoryLock {
  public:
    OutputDirectoryLock(const std::filesystem::path& directory, const WriteRules& rules);

  private:
    std::optional<files::DirectoryLock> lock_;
};

// Refuses, with EnvironmentError and before anything is written, an output name that cannot
// take the output: one that is not a regular file (a link of any kind, a directory, a FIFO, a
// device, a socket), a Windows device name, a name too long for its file system, a read-only
// file (unless the rules allow it), or one that is an input of the same command, by this name
// or another (a hard link), which the output would destroy.
void check_output(const std::filesystem::path& output,
                  std::span<const std::filesystem::path> inputs = {}, const WriteRules& rules = {});

// The output directory must exist, and every output name in it must be able to take its file
// (see check_output): a regular file or free, and none of the inputs, by this name or another.
// All found before anything is compiled or written. Throws EnvironmentError.
void check_outputs(const std::filesystem::path& directory, const std::vector<std::string>& names,
                   std::initializer_list<std::filesystem::path> inputs,
                   const WriteRules& rules = {});

}  // namespace scenario::tool
