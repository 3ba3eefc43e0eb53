// A writer interrupted by Ctrl-C while its temporary is still open: the console handler, on a
// thread of its own, must be able to remove it (the temporary is shared for deletion).
//   scenario-interrupted-writer.exe DIRECTORY
// Writes part of DIRECTORY\out.dat, then sends itself Ctrl-C and waits; the handler removes the
// temporary and the default handler ends the program.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "files/interrupt_cleanup.h"
#include "files/output_file.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: scenario-interrupted-writer.exe DIRECTORY\n", stderr);
        return 64;
    }
    using namespace scenario;
    files::remove_listed_files_on_interrupt();
    files::PendingFile pending(std::filesystem::path(argv[1]) / L"out.dat");
    const std::string bytes(100000, 'x');
    pending.write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    std::puts("written");
    std::fflush(stdout);
    // Started without a console of its own (its streams on files), it makes one to be
    // interrupted in.
    if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) &&
        !(AllocConsole() && (files::remove_listed_files_on_interrupt(), true) &&
          GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0))) {
        std::fprintf(stderr, "no console to interrupt (error %lu)\n", GetLastError());
        return 77;
    }
    Sleep(10000);
    return 1;  // not interrupted
}
