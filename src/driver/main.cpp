#include <cstdio>
#include <string_view>

#include "driver/exit_status.h"
#include "driver/form1.h"
#include "files/interrupt_cleanup.h"
#include "files/output_file.h"
#include "platform/platform.h"

namespace {

constexpr std::string_view kUsage =
    "usage: scenario-builder\n"
    "\n"
    "Writes the built-in scenario into the directory of this executable: the train card,\n"
    "the slowdown order, the notes, and the compact files for the simulator (.sim, .dat,\n"
    "_linea.dat). Shows the window \"Attendere\" while it works and ends by itself.\n"
    "Exit status: 0 clean, 1 the scenario has a recorded fault, 2 an error box was shown,\n"
    "3 a file could not be written.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::string_view arg = argv[1];
        const bool help = arg == "--help" || arg == "-h";
        std::fputs(kUsage.data(), help ? stdout : stderr);
        return help ? scenario::driver::kExitClean : scenario::driver::kExitUsage;
    }
    scenario::files::remove_listed_files_on_interrupt();
    scenario::files::set_write_hooks_from_environment();
    scenario::platform::Desktop desktop;
    scenario::driver::Form1 form(desktop);
    const int status = form.Form_Load();
    scenario::platform::end_program(status);
}
