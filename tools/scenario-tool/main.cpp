#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "files/interrupt_cleanup.h"
#include "files/write_hooks.h"
#include "io/text_encoding.h"
#include "tool.h"

int main(int argc, char** argv) {
    scenario::files::remove_listed_files_on_interrupt();
    scenario::files::set_write_hooks_from_environment();
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const int status = scenario::tool::run_tool(args, std::cout, std::cerr);
        std::cout.flush();
        return std::cout ? status : scenario::tool::kExitUsage;
    } catch (const std::exception& failure) {
        std::cerr << "scenario-tool: " << scenario::tool::escape_controls(failure.what()) << '\n';
        return scenario::tool::kExitUsage;
    }
}
