#include "diagnostics/warning_options.h"

#include "cli/exit_status.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "io/text_encoding.h"

namespace scenario::tool {

std::vector<std::string> take_warning_options(const std::vector<std::string>& args,
                                              DiagnoseOptions& options) {
    std::vector<std::string> rest;
    for (const auto& arg : args) {
        if (!arg.starts_with("-Wno-")) {
            rest.push_back(arg);
            continue;
        }
        const std::string name = arg.substr(5);
        const auto* entry = compiler::find_diagnostic(name);
        if (entry == nullptr || compiler::is_fault(entry->id)) {
            throw UsageError("there is no warning '" + valid_utf8(name) +
                             "'; 'scenario-tool explain --list' lists them");
        }
        options.silenced.insert(name);
    }
    return rest;
}

std::vector<std::string> warning_names() {
    std::vector<std::string> names;
    for (const auto& entry : compiler::warning_entries()) {
        names.emplace_back(entry.name);
    }
    return names;
}

}  // namespace scenario::tool
