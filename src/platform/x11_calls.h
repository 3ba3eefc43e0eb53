#pragma once

// The Xlib (and, where present, Xft) calls the desktop makes, looked up when a display is first
// wanted instead of linked: a run without a display then loads none of the windowing libraries,
// which cost more to map and relocate than the whole scenario build.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#ifdef SCENARIO_HAVE_XFT
#include <X11/Xft/Xft.h>
#endif

namespace scenario::platform {

// Every Xlib call the desktop uses, in one list: the table below and its loader both read it.
// clang-format off
#define SCENARIO_X11_CALLS(X) \
    X(XOpenDisplay) X(XCloseDisplay) X(XCheckTypedWindowEvent) X(XNextEvent) X(XSync) \
    X(XStoreName) X(XSetClassHint) X(XAllocSizeHints) X(XSetWMNormalHints) \
    X(XSetTransientForHint) X(XSetWMProtocols) X(XInternAtom) X(XFree) \
    X(XCreateSimpleWindow) X(XSelectInput) X(XMapRaised) X(XSetInputFocus) X(XDestroyWindow) \
    X(XCreateGC) X(XFreeGC) X(XSetForeground) X(XSetBackground) X(XSetFont) \
    X(XLoadQueryFont) X(XFreeFont) X(XTextWidth) X(XDrawString) X(XFillRectangle) \
    X(XDrawRectangle) X(XLookupKeysym)

// The Xft calls, used only when the whole set is found.
#define SCENARIO_XFT_CALLS(X) \
    X(XftFontOpenName) X(XftFontClose) X(XftTextExtents8) X(XftDrawCreate) X(XftDrawDestroy) \
    X(XftDrawString8) X(XftColorAllocValue) X(XftColorFree)
// clang-format on

#define SCENARIO_X11_POINTER(name) decltype(&::name) name = nullptr;

struct X11Calls {
    SCENARIO_X11_CALLS(SCENARIO_X11_POINTER)
#ifdef SCENARIO_HAVE_XFT
    SCENARIO_XFT_CALLS(SCENARIO_X11_POINTER)
    // False when libXft is missing: text is then drawn with the server's core fonts.
    bool has_xft = false;
#endif
};

#undef SCENARIO_X11_POINTER

// The calls, looked up on first use and kept for the life of the program; null when libX11
// cannot be loaded, in which case the program runs without a display.
const X11Calls* x11_calls();

}  // namespace scenario::platform
