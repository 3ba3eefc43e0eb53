#include "io/output_guard.h"

#include <string>
#include <system_error>

#include "cli/exit_status.h"
#include "files/file_names.h"
#include "files/output_file.h"
#include "io/text_encoding.h"

namespace scenario::tool {

namespace fs = std::filesystem;

WriteRules write_rules(const ParsedArguments& parsed) {
    WriteRules rules;
    if (parsed.flag(kNoLockOption.name)) {
        rules.locking = files::Locking::not_wanted;
    }
    if (parsed.flag(kForceOption.name)) {
        rules.read_only = files::ReadOnly::replace;
    }
    return rules;
}

OutputDirectoryLock::OutputDirectoryLock(const fs::path& directory, const WriteRules& rules) {
    try {
        lock_.emplace(directory, rules.locking);
    } catch (const files::FileError& failure) {
        std::string message = failure.what();
        if (message.find("no lock can be held") != std::string::npos) {
            message += " (--no-lock writes all the same)";
        }
        throw EnvironmentError(message);
    }
}

void check_output(const fs::path& output, std::span<const fs::path> inputs,
                  const WriteRules& rules) {
    if (auto reason = files::unusable_output_reason(output, rules.read_only)) {
        if (*reason == "it is read-only") {
            *reason += " (--force replaces it)";
        }
        throw EnvironmentError("the output '" + shown(output) + "' cannot be replaced: " + *reason);
    }
    std::error_code ec;
    if (!fs::exists(output, ec)) {
        return;
    }
    for (const auto& input : inputs) {
        if (fs::equivalent(output, input, ec)) {
            throw EnvironmentError("the output '" + shown(output) + "' is the input '" +
                                   shown(input) +
                                   "', which it would destroy; choose another name for the output");
        }
    }
}

void check_outputs(const fs::path& directory, const std::vector<std::string>& names,
                   std::initializer_list<fs::path> inputs, const WriteRules& rules) {
    std::error_code ec;
    if (!fs::is_directory(directory, ec)) {
        throw EnvironmentError("the output directory '" + shown(directory) +
                               "' does not exist or is not a directory");
    }
    const std::vector<fs::path> given(inputs);
    for (const auto& name : names) {
        check_output(files::full_path(directory, name), given, rules);
    }
}

}  // namespace scenario::tool
