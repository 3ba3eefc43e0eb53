// The desktop on X11: a real notice window with its label, and a modal message box of our own
// drawing. When no display can be opened the program runs without a window and the box's text
// goes to standard error.
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/posix_directory.h"
#include "platform/stderr_report.h"
#include "platform/x11_calls.h"

namespace scenario::platform {

namespace {

constexpr unsigned long kFaceColour = 0xF0F0F0;  // the dialog face of the product's desktop
constexpr unsigned long kTextColour = 0x000000;
constexpr int kNoticeWaitMs = 2000;

int pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Waits up to the time for an event of the type on the window; false when none came.
bool wait_for_event(const X11Calls& x, Display* display, Window window, int type, int milliseconds,
                    XEvent& event) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (x.XCheckTypedWindowEvent(display, window, type, &event)) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return false;
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left));
    }
}

void name_window(const X11Calls& x, Display* display, Window window, const char* title,
                 const char* instance) {
    x.XStoreName(display, window, title);
    XClassHint hint{};
    std::string res_name = instance;
    std::string res_class = "Scenario-builder";
    hint.res_name = res_name.data();
    hint.res_class = res_class.data();
    x.XSetClassHint(display, window, &hint);
}

void fix_size(const X11Calls& x, Display* display, Window window, int width, int height) {
    XSizeHints* hints = x.XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    x.XSetWMNormalHints(display, window, hints);
    x.XFree(hints);
}

// Text drawing with the nearest bold sans face the server offers.
class TextPainter {
  public:
    TextPainter(const X11Calls& x, Display* display, int pixel_size, bool bold)
        : x_(x), display_(display) {
#ifdef SCENARIO_HAVE_XFT
        if (x.has_xft) {
            const std::string pattern =
                "MS Sans Serif,Liberation Sans,DejaVu Sans:" + std::string(bold ? "bold:" : "") +
                "pixelsize=" + std::to_string(pixel_size);
            xft_ = x.XftFontOpenName(display, DefaultScreen(display), pattern.c_str());
        }
#endif
        if (!has_xft()) {
            const std::string core = "-*-helvetica-" + std::string(bold ? "bold" : "medium") +
                                     "-r-normal--" + std::to_string(pixel_size) + "-*-*-*-*-*-*-*";
            core_ = x.XLoadQueryFont(display, core.c_str());
            if (core_ == nullptr) {
                core_ = x.XLoadQueryFont(display, "fixed");
            }
        }
    }
    ~TextPainter() {
#ifdef SCENARIO_HAVE_XFT
        if (xft_ != nullptr) {
            x_.XftFontClose(display_, xft_);
        }
#endif
        if (core_ != nullptr) {
            x_.XFreeFont(display_, core_);
        }
    }
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    int ascent() const {
#ifdef SCENARIO_HAVE_XFT
        if (xft_ != nullptr) {
            return xft_->ascent;
        }
#endif
        return core_ != nullptr ? core_->ascent : 10;
    }

    int width(std::string_view text) const {
#ifdef SCENARIO_HAVE_XFT
        if (xft_ != nullptr) {
            XGlyphInfo info{};
            x_.XftTextExtents8(display_, xft_, reinterpret_cast<const FcChar8*>(text.data()),
                               static_cast<int>(text.size()), &info);
            return info.xOff;
        }
#endif
        return core_ != nullptr ? x_.XTextWidth(core_, text.data(), static_cast<int>(text.size()))
                                : static_cast<int>(text.size()) * 8;
    }

    // Draws the text with its top-left corner at (left, top), clipped to nothing.
    void draw(Window window, GC gc, int left, int top, std::string_view text) const {
#ifdef SCENARIO_HAVE_XFT
        if (xft_ != nullptr) {
            const int screen = DefaultScreen(display_);
            XftDraw* draw = x_.XftDrawCreate(display_, window, DefaultVisual(display_, screen),
                                             DefaultColormap(display_, screen));
            XftColor colour{};
            XRenderColor black{0, 0, 0, 0xFFFF};
            x_.XftColorAllocValue(display_, DefaultVisual(display_, screen),
                                  DefaultColormap(display_, screen), &black, &colour);
            x_.XftDrawString8(draw, &colour, xft_, left, top + xft_->ascent,
                              reinterpret_cast<const FcChar8*>(text.data()),
                              static_cast<int>(text.size()));
            x_.XftColorFree(display_, DefaultVisual(display_, screen),
                            DefaultColormap(display_, screen), &colour);
            x_.XftDrawDestroy(draw);
            return;
        }
#endif
        if (core_ != nullptr) {
            x_.XSetFont(display_, gc, core_->fid);
        }
        x_.XDrawString(display_, window, gc, left, top + ascent(), text.data(),
                       static_cast<int>(text.size()));
    }

  private:
    bool has_xft() const {
#ifdef SCENARIO_HAVE_XFT
        return xft_ != nullptr;
#else
        return false;
#endif
    }

    const X11Calls& x_;
    Display* display_;
#ifdef SCENARIO_HAVE_XFT
    XftFont* xft_ = nullptr;
#endif
    XFontStruct* core_ = nullptr;
};

}  // namespace

struct Desktop::Impl {
    const X11Calls* x = nullptr;  // set whenever display is
    Display* display = nullptr;
    Window notice = 0;
    GC gc = nullptr;
};

Desktop::Desktop() : impl_(std::make_unique<Impl>()) {
    // Without a display named there is nothing to open, and the libraries are not even loaded.
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        return;
    }
    impl_->x = x11_calls();
    if (impl_->x != nullptr) {
        impl_->display = impl_->x->XOpenDisplay(nullptr);
    }
}

Desktop::~Desktop() {
    close();
    if (impl_->display != nullptr) {
        impl_->x->XCloseDisplay(impl_->display);
    }
}

bool Desktop::has_display() const {
    return impl_->display != nullptr;
}

void Desktop::show_notice(const NoticeDesign& design) {
    Display* display = impl_->display;
    if (display == nullptr || impl_->notice != 0) {
        return;
    }
    const X11Calls& x = *impl_->x;
    const int screen = DefaultScreen(display);
    const int width = pixels(design.client_width);
    const int height = pixels(design.client_height);
    const Window window = x.XCreateSimpleWindow(
        display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, kTextColour, kFaceColour);
    impl_->notice = window;
    name_window(x, display, window, std::string(kProgramName).c_str(), "scenario-builder");
    fix_size(x, display, window, width, height);
    x.XSelectInput(display, window, ExposureMask | StructureNotifyMask);
    x.XMapRaised(display, window);

    XEvent event;
    wait_for_event(x, display, window, Expose, kNoticeWaitMs, event);

    // Paint once: the build processes no window messages while it runs.
    impl_->gc = x.XCreateGC(display, window, 0, nullptr);
    x.XSetForeground(display, impl_->gc, kTextColour);
    x.XSetBackground(display, impl_->gc, kFaceColour);
    TextPainter painter(x, display, pixels(design.font_points * 20), design.font_bold);
    painter.draw(window, impl_->gc, pixels(design.label_left), pixels(design.label_top),
                 design.caption);
    x.XSync(display, False);
}

void Desktop::message_box(std::string_view text) {
    Display* display = impl_->display;
    if (display == nullptr) {
        report_to_stderr(text);
        return;
    }
    const X11Calls& x = *impl_->x;
    const int screen = DefaultScreen(display);
    TextPainter painter(x, display, 13, false);
    const int text_width = painter.width(text);
    constexpr int kMargin = 24;
    constexpr int kButtonWidth = 75;
    constexpr int kButtonHeight = 23;
    const int width = std::max(text_width + 2 * kMargin, 180);
    const int height = 110;
    const int button_left = (width - kButtonWidth) / 2;
    const int button_top = height - kButtonHeight - 14;

    // Centred on the screen, as message boxes are, so that it leaves the notice's label visible.
    const int left = std::max((DisplayWidth(display, screen) - width) / 2, 0);
    const int top = std::max((DisplayHeight(display, screen) - height) / 2, 0);
    const Window box = x.XCreateSimpleWindow(
        display, RootWindow(display, screen), left, top, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, kTextColour, kFaceColour);
    name_window(x, display, box, std::string(kProgramName).c_str(), "scenario-builder-message");
    fix_size(x, display, box, width, height);
    if (impl_->notice != 0) {
        x.XSetTransientForHint(display, box, impl_->notice);
    }
    Atom delete_window = x.XInternAtom(display, "WM_DELETE_WINDOW", False);
    x.XSetWMProtocols(display, box, &delete_window, 1);
    x.XSelectInput(display, box,
                   ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    x.XMapRaised(display, box);

    XEvent event;
    if (wait_for_event(x, display, box, MapNotify, kNoticeWaitMs, event)) {
        x.XSetInputFocus(display, box, RevertToPointerRoot, CurrentTime);
    }
    GC gc = x.XCreateGC(display, box, 0, nullptr);
    auto paint = [&] {
        x.XSetForeground(display, gc, kFaceColour);
        x.XFillRectangle(display, box, gc, 0, 0, static_cast<unsigned>(width),
                         static_cast<unsigned>(height));
        x.XSetForeground(display, gc, kTextColour);
        painter.draw(box, gc, kMargin, 24, text);
        x.XDrawRectangle(display, box, gc, button_left, button_top, kButtonWidth, kButtonHeight);
        painter.draw(box, gc, button_left + (kButtonWidth - painter.width("OK")) / 2,
                     button_top + 4, "OK");
    };
    paint();

    // Modal: nothing else runs until the box is closed by its button, Return, Space or Escape.
    for (bool open = true; open;) {
        x.XNextEvent(display, &event);
        if (event.xany.window != box) {
            continue;
        }
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) {
                    paint();
                }
                break;
            case KeyPress: {
                const KeySym key = x.XLookupKeysym(&event.xkey, 0);
                open = !(key == XK_Return || key == XK_KP_Enter || key == XK_space ||
                         key == XK_Escape);
                break;
            }
            case ButtonPress:
                open = !(event.xbutton.x >= button_left &&
                         event.xbutton.x < button_left + kButtonWidth &&
                         event.xbutton.y >= button_top &&
                         event.xbutton.y < button_top + kButtonHeight);
                break;
            case ClientMessage:
                open = static_cast<Atom>(event.xclient.data.l[0]) != delete_window;
                break;
            default:
                break;
        }
    }
    x.XFreeGC(display, gc);
    x.XDestroyWindow(display, box);
    x.XSync(display, False);
}

void Desktop::close() {
    if (impl_->display == nullptr || impl_->notice == 0) {
        return;
    }
    const X11Calls& x = *impl_->x;
    if (impl_->gc != nullptr) {
        x.XFreeGC(impl_->display, impl_->gc);
        impl_->gc = nullptr;
    }
    x.XDestroyWindow(impl_->display, impl_->notice);
    impl_->notice = 0;
    x.XSync(impl_->display, False);
}

std::filesystem::path executable_directory() {
    return posix_executable_directory();
}

}  // namespace scenario::platform
