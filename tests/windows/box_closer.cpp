// Test helper, run under wine next to scenario-builder.exe: waits for the message box of the
// program that runs from a given directory, prints what the box holds and, when asked, presses
// its OK button.
//
//   box_closer.exe DIRECTORY [--close] [--timeout SECONDS]
//
// Prints, one per line (UTF-8): "title: ...", "text: ...", "buttons: <ids>", "icon: yes|no";
// then, for the window that owns the box, "notice: <title>", "client: WxH", "label: <caption>",
// "label at: X Y W H" (client pixels), "label on screen: X Y W H". (The label's font is a
// handle of the builder's own process and cannot be read from here.)
// Exit status 0 when a box was found, 2 when none came in time, 64 for a wrong command line.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring window_text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

std::wstring class_name(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring image_path(DWORD process_id) {
    std::wstring path;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id)) {
        wchar_t buffer[4096] = {};
        DWORD size = 4096;
        if (QueryFullProcessImageNameW(process, 0, buffer, &size)) {
            path.assign(buffer, size);
        }
        CloseHandle(process);
    }
    return path;
}

struct Search {
    std::wstring directory;  // with a trailing backslash
    HWND box = nullptr;
};

BOOL CALLBACK look_at_window(HWND window, LPARAM search_address) {
    auto& search = *reinterpret_cast<Search*>(search_address);
    if (!IsWindowVisible(window) || class_name(window) != L"#32770") {
        return TRUE;
    }
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    const std::wstring path = image_path(process_id);
    if (path.size() > search.directory.size() &&
        _wcsnicmp(path.c_str(), search.directory.c_str(), search.directory.size()) == 0 &&
        path.find(L'\\', search.directory.size()) == std::wstring::npos) {
        search.box = window;
        return FALSE;
    }
    return TRUE;
}

struct Contents {
    std::vector<int> buttons;
    bool icon = false;
    HWND ok = nullptr;
};

BOOL CALLBACK look_at_control(HWND control, LPARAM contents_address) {
    auto& contents = *reinterpret_cast<Contents*>(contents_address);
    if (!IsWindowVisible(control)) {
        return TRUE;
    }
    const std::wstring kind = class_name(control);
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        const int id = GetDlgCtrlID(control);
        contents.buttons.push_back(id);
        if (id == IDOK) {
            contents.ok = control;
        }
    } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        if ((style & SS_TYPEMASK) == SS_ICON && SendMessageW(control, STM_GETICON, 0, 0) != 0) {
            contents.icon = true;
        }
    }
    return TRUE;
}

// The message text of a box is its static control with the id 0xFFFF.
std::wstring message_text(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? window_text(text) : std::wstring();
}

BOOL CALLBACK find_static(HWND control, LPARAM found_address) {
    if (_wcsicmp(class_name(control).c_str(), L"Static") != 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found_address) = control;
    return FALSE;
}

// The notice that owns the box: its client area and its label, as the build left them.
void print_owner(HWND box) {
    HWND owner = GetWindow(box, GW_OWNER);
    if (owner == nullptr) {
        std::puts("notice: none");
        return;
    }
    RECT client{};
    GetClientRect(owner, &client);
    std::printf("notice: %s\nclient: %ldx%ld\n", utf8(window_text(owner)).c_str(), client.right,
                client.bottom);
    HWND label = nullptr;
    EnumChildWindows(owner, find_static, reinterpret_cast<LPARAM>(&label));
    if (label == nullptr) {
        std::puts("label: none");
        return;
    }
    RECT area{};
    GetWindowRect(label, &area);
    const RECT on_screen = area;
    MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&area), 2);
    std::printf("label: %s\n", utf8(window_text(label)).c_str());
    std::printf("label at: %ld %ld %ld %ld\n", area.left, area.top, area.right - area.left,
                area.bottom - area.top);
    std::printf("label on screen: %ld %ld %ld %ld\n", on_screen.left, on_screen.top,
                on_screen.right - on_screen.left, on_screen.bottom - on_screen.top);
}

int usage() {
    std::fputs("usage: box_closer.exe DIRECTORY [--close] [--timeout SECONDS]\n", stderr);
    return 64;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        return usage();
    }
    Search search;
    search.directory = argv[1];
    if (search.directory.empty() || search.directory.back() != L'\\') {
        search.directory.push_back(L'\\');
    }
    bool close = false;
    double timeout_seconds = 60;
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--close") {
            close = true;
        } else if (arg == L"--timeout" && i + 1 < argc) {
            timeout_seconds = std::wcstod(argv[++i], nullptr);
        } else {
            return usage();
        }
    }

    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_seconds * 1000);
    while (search.box == nullptr) {
        EnumWindows(look_at_window, reinterpret_cast<LPARAM>(&search));
        if (search.box != nullptr) {
            break;
        }
        if (GetTickCount64() >= deadline) {
            std::puts("no message box");
            return 2;
        }
        Sleep(50);
    }

    Contents contents;
    EnumChildWindows(search.box, look_at_control, reinterpret_cast<LPARAM>(&contents));
    std::printf("title: %s\n", utf8(window_text(search.box)).c_str());
    std::printf("text: %s\n", utf8(message_text(search.box)).c_str());
    std::printf("buttons:");
    for (const int id : contents.buttons) {
        std::printf(" %d", id);
    }
    std::printf("\nicon: %s\n", contents.icon ? "yes" : "no");
    print_owner(search.box);
    std::fflush(stdout);

    if (close && contents.ok != nullptr) {
        PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(contents.ok));
    }
    return 0;
}
