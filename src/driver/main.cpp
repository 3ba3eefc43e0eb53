#include <cstdio>
#include <string>
#include <string_view>

#include "driver/exit_status.h"
#include "driver/form1.h"
#include "driver/usage_text.h"
#include "files/interrupt_cleanup.h"
#include "files/write_hooks.h"
#include "platform/platform.h"

#ifndef SCENARIO_VERSION
#define SCENARIO_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::string_view arg = argv[1];
        if (arg == "--version") {
            std::fputs("scenario-builder " SCENARIO_VERSION "\n", stdout);
            return scenario::driver::kExitClean;
        }
        const bool help = arg == "--help" || arg == "-h";
        const std::string usage = scenario::driver::usage_text();
        std::fwrite(usage.data(), 1, usage.size(), help ? stdout : stderr);
        return help ? scenario::driver::kExitClean : scenario::driver::kExitUsage;
    }
    scenario::files::remove_listed_files_on_interrupt();
    scenario::files::set_write_hooks_from_environment();
    scenario::platform::Desktop desktop;
    scenario::driver::Form1 form(desktop);
    const int status = form.Form_Load();
    scenario::platform::end_program(status);
}
