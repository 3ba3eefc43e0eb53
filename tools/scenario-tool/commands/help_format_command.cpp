#include "commands/help_format_command.h"

#include "cli/exit_status.h"
#include "inspect/format_reference.h"

namespace scenario::tool {

int help_format_command(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty() || (args.size() == 1 && args[0] == "--markdown")) {
        out << format_reference(args.empty() ? ReferenceStyle::plain : ReferenceStyle::markdown);
        return kExitClean;
    }
    err << "scenario-tool: 'help format' takes only --markdown\n"
        << "see 'scenario-tool --help'\n";
    return kExitUsage;
}

}  // namespace scenario::tool
