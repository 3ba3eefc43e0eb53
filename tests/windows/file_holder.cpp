// Holds a file open as another program would (an editor, a viewer, the simulator): shared for
// reading and writing but not for deletion, so that it cannot be renamed over while held.
//   scenario-file-holder.exe FILE SECONDS
// Prints "held" once the file is open, then holds it for the seconds given.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: scenario-file-holder.exe FILE SECONDS\n", stderr);
        return 64;
    }
    HANDLE held = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open the file (error %lu)\n", GetLastError());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10) * 1000));
    CloseHandle(held);
    return 0;
}
