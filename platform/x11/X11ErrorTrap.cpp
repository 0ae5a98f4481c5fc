#include "platform/x11/X11ErrorTrap.h"

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <exception>
#include <mutex>
#include <vector>

namespace {

struct Watched {
    Display* display = nullptr;
    std::vector<XID> gone;
    // Error codes already written out. A set of fixed size: the handler
    // runs inside Xlib, where nothing may allocate and throw.
    std::bitset<256> reported;
    bool quiet = false;
    int32_t errors = 0;
};

// The registry is touched on the user-interface threads only, never on the
// audio path. Xlib calls the handler with no lock of its own held, so this
// mutex never waits on Xlib while Xlib waits on it.
std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}

std::vector<Watched>& registry() {
    static std::vector<Watched> list;
    return list;
}

XErrorHandler previousHandler = nullptr;
bool installed = false;

Watched* find(Display* display) {
    auto& list = registry();
    const auto it = std::find_if(list.begin(), list.end(),
                                 [display](const Watched& w) { return w.display == display; });
    return it == list.end() ? nullptr : &*it;
}

} // namespace

void X11ErrorTrap::watch(Display* display) {
    if (!display) {
        return;
    }
    std::lock_guard<std::mutex> lock(registryMutex());
    if (find(display)) {
        return;
    }
    Watched entry;
    entry.display = display;
    registry().push_back(std::move(entry));
    if (!installed) {
        previousHandler = XSetErrorHandler(&X11ErrorTrap::handle);
        installed = true;
    }
}

void X11ErrorTrap::unwatch(Display* display) {
    std::lock_guard<std::mutex> lock(registryMutex());
    auto& list = registry();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [display](const Watched& w) { return w.display == display; }),
               list.end());
    if (installed && list.empty()) {
        // Hand back the host's handler, unless the host has put another
        // one in since: then that one stays.
        const XErrorHandler current = XSetErrorHandler(previousHandler);
        if (current != &X11ErrorTrap::handle) {
            XSetErrorHandler(current);
        }
        previousHandler = nullptr;
        installed = false;
    }
}

void X11ErrorTrap::expectGone(Display* display, XID window) {
    std::lock_guard<std::mutex> lock(registryMutex());
    if (Watched* w = find(display)) {
        if (std::find(w->gone.begin(), w->gone.end(), window) == w->gone.end()) {
            // Called while a window is torn down. Not remembered for want
            // of memory, its errors are at worst reported once.
            try {
                w->gone.push_back(window);
            } catch (const std::exception&) {
            }
        }
    }
}

void X11ErrorTrap::setQuiet(Display* display, bool quiet) {
    std::lock_guard<std::mutex> lock(registryMutex());
    if (Watched* w = find(display)) {
        w->quiet = quiet;
    }
}

int32_t X11ErrorTrap::errorCount(Display* display) {
    std::lock_guard<std::mutex> lock(registryMutex());
    const Watched* w = find(display);
    return w ? w->errors : 0;
}

int X11ErrorTrap::handle(Display* display, XErrorEvent* error) {
    XErrorHandler chain = nullptr;
    bool report = false;
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        Watched* w = find(display);
        if (!w) {
            chain = previousHandler;
        } else {
            ++w->errors;
            const bool vanished =
                (error->error_code == BadWindow || error->error_code == BadDrawable) &&
                std::find(w->gone.begin(), w->gone.end(), error->resourceid) != w->gone.end();
            if (!vanished && !w->quiet && !w->reported.test(error->error_code)) {
                w->reported.set(error->error_code);
                report = true;
            }
        }
    }
    if (chain) {
        return chain(display, error);
    }
    if (report) {
        std::fprintf(stderr, "tq-spectrum: X error %d, request %d.%d, resource 0x%lx (ignored)\n",
                     int(error->error_code), int(error->request_code), int(error->minor_code),
                     static_cast<unsigned long>(error->resourceid));
    }
    return 0;
}
