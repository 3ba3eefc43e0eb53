#include "platform/x11_calls.h"

#include <dlfcn.h>

namespace scenario::platform {

namespace {

X11Calls load() {
    X11Calls calls;
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (xlib == nullptr) {
        return calls;
    }
    bool complete = true;
#define SCENARIO_X11_LOOK_UP(name)                                           \
    calls.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
    complete = complete && calls.name != nullptr;
    {
        void* library = xlib;
        SCENARIO_X11_CALLS(SCENARIO_X11_LOOK_UP)
    }
    if (!complete) {
        dlclose(xlib);
        return X11Calls{};
    }
#ifdef SCENARIO_HAVE_XFT
    if (void* xft = dlopen("libXft.so.2", RTLD_NOW | RTLD_LOCAL); xft != nullptr) {
        void* library = xft;
        SCENARIO_XFT_CALLS(SCENARIO_X11_LOOK_UP)
        calls.has_xft = complete;
        if (!complete) {
            dlclose(xft);
        }
    }
#endif
#undef SCENARIO_X11_LOOK_UP
    return calls;
}

}  // namespace

const X11Calls* x11_calls() {
    // The libraries stay loaded until the process ends, as linked ones would.
    static const X11Calls calls = load();
    return calls.XOpenDisplay != nullptr ? &calls : nullptr;
}

}  // namespace scenario::platform
