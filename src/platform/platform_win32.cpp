// The desktop on Windows: a real notice window whose label is a STATIC control, and the system's
// own message box. Without an interactive desktop (a service, a locked-down session) the box's
// text goes to standard error instead.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <system_error>

#include "platform/platform.h"
#include "platform/stderr_report.h"

namespace scenario::platform {

namespace {

constexpr wchar_t kNoticeClass[] = L"ScenarioBuilderNotice";
constexpr UINT kWindows1252 = 1252;
constexpr int kTwipsPerInch = 1440;
constexpr int kPointsPerInch = 72;
constexpr DWORD kNoticeStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

std::wstring widened(std::string_view text, UINT code_page, DWORD flags = 0) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(code_page, flags, text.data(), size, wide.data(), length);
    return wide;
}

// The program's own text is Windows-1252 bytes whatever the system's code page is.
std::wstring widened(std::string_view text) {
    return widened(text, kWindows1252);
}

// A box's text is the program's own, or the report of a failure, in which the C++ library
// spells a path in UTF-8: take it as UTF-8 when it is that, else as Windows-1252.
std::wstring widened_report(std::string_view text) {
    std::wstring wide = widened(text, CP_UTF8, MB_ERR_INVALID_CHARS);
    return wide.empty() ? widened(text) : wide;
}

// The screen's logical pixels per inch, across and down; twips and points scale with them.
struct ScreenDensity {
    int across = 96;
    int down = 96;
};

ScreenDensity screen_density() {
    ScreenDensity density;
    if (HDC screen = GetDC(nullptr)) {
        density.across = GetDeviceCaps(screen, LOGPIXELSX);
        density.down = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return density;
}

int pixels(int twips, int per_inch) {
    return MulDiv(twips, per_inch, kTwipsPerInch);
}

// True when the process runs on a desktop that a person sees; a service's window station has
// no visible desktop, and a box there would wait for a click that never comes.
bool on_interactive_desktop() {
    HWINSTA station = GetProcessWindowStation();
    if (station == nullptr) {
        return false;
    }
    USEROBJECTFLAGS flags{};
    if (!GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) {
        return true;
    }
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

bool register_notice_class(HINSTANCE instance) {
    WNDCLASSEXW notice_class{};
    notice_class.cbSize = sizeof notice_class;
    notice_class.lpfnWndProc = DefWindowProcW;
    notice_class.hInstance = instance;
    notice_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
    notice_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    notice_class.lpszClassName = kNoticeClass;
    return RegisterClassExW(&notice_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

struct Desktop::Impl {
    bool interactive = false;
    HWND notice = nullptr;
    HFONT label_font = nullptr;
};

Desktop::Desktop() : impl_(std::make_unique<Impl>()) {
    impl_->interactive = on_interactive_desktop();
}

Desktop::~Desktop() {
    close();
}

bool Desktop::has_display() const {
    return impl_->interactive;
}

void Desktop::show_notice(const NoticeDesign& design) {
    if (!impl_->interactive || impl_->notice != nullptr) {
        return;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!register_notice_class(instance)) {
        return;
    }
    const ScreenDensity density = screen_density();

    // The design gives the client area; the frame and the title bar come on top of it.
    RECT frame{0, 0, pixels(design.client_width, density.across),
               pixels(design.client_height, density.down)};
    AdjustWindowRectEx(&frame, kNoticeStyle, FALSE, 0);
    const std::wstring title = widened(kProgramName);
    HWND notice = CreateWindowExW(0, kNoticeClass, title.c_str(), kNoticeStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
    if (notice == nullptr) {
        return;
    }
    impl_->notice = notice;

    const std::wstring face = widened(design.font_face);
    impl_->label_font = CreateFontW(-MulDiv(design.font_points, density.down, kPointsPerInch), 0, 0,
                                    0, design.font_bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                    ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
    const std::wstring caption = widened(design.caption);
    HWND label = CreateWindowExW(
        0, L"STATIC", caption.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
        pixels(design.label_left, density.across), pixels(design.label_top, density.down),
        pixels(design.label_width, density.across), pixels(design.label_height, density.down),
        notice, nullptr, instance, nullptr);
    if (label != nullptr && impl_->label_font != nullptr) {
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(impl_->label_font), FALSE);
    }

    // Paint once, the label included: the build processes no window messages while it runs.
    ShowWindow(notice, SW_SHOWNORMAL);
    RedrawWindow(notice, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

void Desktop::message_box(std::string_view text) {
    if (!impl_->interactive) {
        report_to_stderr(text);
        return;
    }
    // No title of its own: the system's default caption applies. Owned by the notice, so that
    // the box stays in front of it and the notice takes no input while the box is open.
    HWND owner = impl_->notice != nullptr && IsWindow(impl_->notice) ? impl_->notice : nullptr;
    const std::wstring wide = widened_report(text);
    if (MessageBoxW(owner, wide.c_str(), nullptr, MB_OK) == 0) {
        report_to_stderr(text);
    }
}

void Desktop::close() {
    if (impl_->notice != nullptr) {
        if (IsWindow(impl_->notice)) {
            DestroyWindow(impl_->notice);
        }
        impl_->notice = nullptr;
    }
    if (impl_->label_font != nullptr) {
        DeleteObject(impl_->label_font);
        impl_->label_font = nullptr;
    }
}

std::filesystem::path executable_directory() {
    // Paths can be longer than MAX_PATH; grow the buffer until the whole name fits.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(name.size());
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), size);
        if (length == 0) {
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                    "cannot find the executable's directory");
        }
        if (length < size) {
            name.resize(length);
            break;
        }
        if (size >= 32768) {
            throw std::system_error(ERROR_INSUFFICIENT_BUFFER, std::system_category(),
                                    "cannot find the executable's directory");
        }
        name.resize(name.size() * 2);
    }
    return std::filesystem::path(name).parent_path();
}

}  // namespace scenario::platform
