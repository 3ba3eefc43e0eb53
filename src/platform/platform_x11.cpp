// The desktop on X11: a real notice window with its label, and a modal message box of our own
// drawing. When no display can be opened the program runs without a window and the box's text
// goes to standard error.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <string>

#ifdef SCENARIO_HAVE_XFT
#include <X11/Xft/Xft.h>
#endif

#include "platform/platform.h"
#include "platform/posix_directory.h"
#include "platform/stderr_report.h"

namespace scenario::platform {

namespace {

constexpr unsigned long kFaceColour = 0xF0F0F0;  // the dialog face of the product's desktop
constexpr unsigned long kTextColour = 0x000000;
constexpr int kNoticeWaitMs = 2000;

int pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// Waits up to the time for an event of the type on the window; false when none came.
bool wait_for_event(Display* display, Window window, int type, int milliseconds, XEvent& event) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (XCheckTypedWindowEvent(display, window, type, &event)) {
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

void name_window(Display* display, Window window, const char* title, const char* instance) {
    XStoreName(display, window, title);
    XClassHint hint{};
    std::string res_name = instance;
    std::string res_class = "Scenario-builder";
    hint.res_name = res_name.data();
    hint.res_class = res_class.data();
    XSetClassHint(display, window, &hint);
}

void fix_size(Display* display, Window window, int width, int height) {
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

// Text drawing with the nearest bold sans face the server offers.
class TextPainter {
  public:
    TextPainter(Display* display, int pixel_size, bool bold) : display_(display) {
#ifdef SCENARIO_HAVE_XFT
        const std::string pattern =
            "MS Sans Serif,Liberation Sans,DejaVu Sans:" + std::string(bold ? "bold:" : "") +
            "pixelsize=" + std::to_string(pixel_size);
        xft_ = XftFontOpenName(display, DefaultScreen(display), pattern.c_str());
#endif
        if (!has_xft()) {
            const std::string core = "-*-helvetica-" + std::string(bold ? "bold" : "medium") +
                                     "-r-normal--" + std::to_string(pixel_size) + "-*-*-*-*-*-*-*";
            core_ = XLoadQueryFont(display, core.c_str());
            if (core_ == nullptr) {
                core_ = XLoadQueryFont(display, "fixed");
            }
        }
    }
    ~TextPainter() {
#ifdef SCENARIO_HAVE_XFT
        if (xft_ != nullptr) {
            XftFontClose(display_, xft_);
        }
#endif
        if (core_ != nullptr) {
            XFreeFont(display_, core_);
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
            XftTextExtents8(display_, xft_, reinterpret_cast<const FcChar8*>(text.data()),
                            static_cast<int>(text.size()), &info);
            return info.xOff;
        }
#endif
        return core_ != nullptr ? XTextWidth(core_, text.data(), static_cast<int>(text.size()))
                                : static_cast<int>(text.size()) * 8;
    }

    // Draws the text with its top-left corner at (left, top), clipped to nothing.
    void draw(Window window, GC gc, int left, int top, std::string_view text) const {
#ifdef SCENARIO_HAVE_XFT
        if (xft_ != nullptr) {
            const int screen = DefaultScreen(display_);
            XftDraw* draw = XftDrawCreate(display_, window, DefaultVisual(display_, screen),
                                          DefaultColormap(display_, screen));
            XftColor colour{};
            XRenderColor black{0, 0, 0, 0xFFFF};
            XftColorAllocValue(display_, DefaultVisual(display_, screen),
                               DefaultColormap(display_, screen), &black, &colour);
            XftDrawString8(draw, &colour, xft_, left, top + xft_->ascent,
                           reinterpret_cast<const FcChar8*>(text.data()),
                           static_cast<int>(text.size()));
            XftColorFree(display_, DefaultVisual(display_, screen),
                         DefaultColormap(display_, screen), &colour);
            XftDrawDestroy(draw);
            return;
        }
#endif
        if (core_ != nullptr) {
            XSetFont(display_, gc, core_->fid);
        }
        XDrawString(display_, window, gc, left, top + ascent(), text.data(),
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

    Display* display_;
#ifdef SCENARIO_HAVE_XFT
    XftFont* xft_ = nullptr;
#endif
    XFontStruct* core_ = nullptr;
};

}  // namespace

struct Desktop::Impl {
    Display* display = nullptr;
    Window notice = 0;
    GC gc = nullptr;
};

Desktop::Desktop() : impl_(std::make_unique<Impl>()) {
    impl_->display = XOpenDisplay(nullptr);
}

Desktop::~Desktop() {
    close();
    if (impl_->display != nullptr) {
        XCloseDisplay(impl_->display);
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
    const int screen = DefaultScreen(display);
    const int width = pixels(design.client_width);
    const int height = pixels(design.client_height);
    const Window window = XCreateSimpleWindow(
        display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, kTextColour, kFaceColour);
    impl_->notice = window;
    name_window(display, window, std::string(kProgramName).c_str(), "scenario-builder");
    fix_size(display, window, width, height);
    XSelectInput(display, window, ExposureMask | StructureNotifyMask);
    XMapRaised(display, window);

    XEvent event;
    wait_for_event(display, window, Expose, kNoticeWaitMs, event);

    // Paint once: the build processes no window messages while it runs.
    impl_->gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, impl_->gc, kTextColour);
    XSetBackground(display, impl_->gc, kFaceColour);
    TextPainter painter(display, pixels(design.font_points * 20), design.font_bold);
    painter.draw(window, impl_->gc, pixels(design.label_left), pixels(design.label_top),
                 design.caption);
    XSync(display, False);
}

void Desktop::message_box(std::string_view text) {
    Display* display = impl_->display;
    if (display == nullptr) {
        report_to_stderr(text);
        return;
    }
    const int screen = DefaultScreen(display);
    TextPainter painter(display, 13, false);
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
    const Window box = XCreateSimpleWindow(
        display, RootWindow(display, screen), left, top, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, kTextColour, kFaceColour);
    name_window(display, box, std::string(kProgramName).c_str(), "scenario-builder-message");
    fix_size(display, box, width, height);
    if (impl_->notice != 0) {
        XSetTransientForHint(display, box, impl_->notice);
    }
    Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, box, &delete_window, 1);
    XSelectInput(display, box, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    XMapRaised(display, box);

    XEvent event;
    if (wait_for_event(display, box, MapNotify, kNoticeWaitMs, event)) {
        XSetInputFocus(display, box, RevertToPointerRoot, CurrentTime);
    }
    GC gc = XCreateGC(display, box, 0, nullptr);
    auto paint = [&] {
        XSetForeground(display, gc, kFaceColour);
        XFillRectangle(display, box, gc, 0, 0, static_cast<unsigned>(width),
                       static_cast<unsigned>(height));
        XSetForeground(display, gc, kTextColour);
        painter.draw(box, gc, kMargin, 24, text);
        XDrawRectangle(display, box, gc, button_left, button_top, kButtonWidth, kButtonHeight);
        painter.draw(box, gc, button_left + (kButtonWidth - painter.width("OK")) / 2,
                     button_top + 4, "OK");
    };
    paint();

    // Modal: nothing else runs until the box is closed by its button, Return, Space or Escape.
    for (bool open = true; open;) {
        XNextEvent(display, &event);
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
                const KeySym key = XLookupKeysym(&event.xkey, 0);
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
    XFreeGC(display, gc);
    XDestroyWindow(display, box);
    XSync(display, False);
}

void Desktop::close() {
    if (impl_->display == nullptr || impl_->notice == 0) {
        return;
    }
    if (impl_->gc != nullptr) {
        XFreeGC(impl_->display, impl_->gc);
        impl_->gc = nullptr;
    }
    XDestroyWindow(impl_->display, impl_->notice);
    impl_->notice = 0;
    XSync(impl_->display, False);
}

std::filesystem::path executable_directory() {
    return posix_executable_directory();
}

}  // namespace scenario::platform
