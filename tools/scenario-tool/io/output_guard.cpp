#include "io/output_guard.h"

#include <string>
#include <system_error>

#include "cli/exit_status.h"
#include "files/output_file.h"
#include "io/author_files.h"

namespace scenario::tool {

namespace fs = std::filesystem;

void check_output(const fs::path& output, std::span<const fs::path> inputs) {
    if (auto reason = files::unusable_output_reason(output)) {
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

}  // namespace scenario::tool
