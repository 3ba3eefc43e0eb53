#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "files/interrupt_cleanup.h"
#include "files/os.h"
#include "files/write_hooks.h"
#include "io/text_encoding.h"
#include "tool.h"

int main(int argc, char** argv) {
    scenario::files::remove_listed_files_on_interrupt();
    scenario::files::set_write_hooks_from_environment();
    scenario::files::os::use_utf8_console();
    const std::vector<std::string> args = scenario::files::os::program_arguments(argc, argv);
    try {
        const int status = scenario::tool::run_tool(args, std::cout, std::cerr);
        errno = 0;
        std::cout.flush();
        if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
            // A full disk or a closed pipe behind standard output: the report is lost, say so.
            const int reason = errno;
            std::cerr << "scenario-tool: cannot write to standard output"
                      << (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string())
                      << '\n';
            return scenario::tool::kExitUsage;
        }
        return status;
    } catch (const std::exception& failure) {
        std::cerr << "scenario-tool: " << scenario::tool::escape_controls(failure.what()) << '\n';
        return scenario::tool::kExitUsage;
    }
}
