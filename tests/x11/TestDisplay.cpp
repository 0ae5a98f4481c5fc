#include "TestDisplay.h"

#include <X11/Xatom.h>

#include <cstring>

#include <chrono>
#include <cstring>
#include <thread>

#include <X11/keysym.h>

// XTest's declarations use Xlib's status macro, which our headers drop.
#define Status int
#include <X11/extensions/XTest.h>
#undef Status

namespace {

// Errors of the test's own requests (asking about a window that has gone)
// are expected; Xlib's default handler would end the program.
int countError(Display*, XErrorEvent*) {
    ++TestDisplay::errors;
    return 0;
}

template <typename Done>
bool waitUntil(int32_t waitMs, const Done& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

int32_t TestDisplay::errors = 0;

TestDisplay::TestDisplay() {
    XSetErrorHandler(&countError);
    // The server may refuse a connection for a moment right after another
    // one closed.
    for (int attempt = 0; attempt < 10 && !display; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        display = XOpenDisplay(nullptr);
    }
    if (display) {
        int event = 0;
        int error = 0;
        int major = 0;
        int minor = 0;
        hasXTest = XTestQueryExtension(display, &event, &error, &major, &minor);
    }
}

TestDisplay::~TestDisplay() {
    if (display) {
        for (Colormap c : colormaps) {
            XFreeColormap(display, c);
        }
        XCloseDisplay(display);
    }
}

Window TestDisplay::createParent(int32_t x, int32_t y, int32_t width, int32_t height, int depth) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x00336699;
    attributes.border_pixel = 0;
    attributes.event_mask = KeyPressMask;
    unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask;
    Visual* visual = DefaultVisual(display, screen);
    int windowDepth = DefaultDepth(display, screen);
    if (depth == 32) {
        XVisualInfo info{};
        if (!XMatchVisualInfo(display, screen, 32, TrueColor, &info)) {
            return 0;
        }
        visual = info.visual;
        windowDepth = 32;
        attributes.colormap =
            XCreateColormap(display, RootWindow(display, screen), visual, AllocNone);
        colormaps.push_back(attributes.colormap);
        mask |= CWColormap;
    }
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), x, y, unsigned(width), unsigned(height),
                      0, windowDepth, InputOutput, visual, mask, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

void TestDisplay::resize(Window window, int32_t width, int32_t height) {
    XResizeWindow(display, window, unsigned(width), unsigned(height));
    XSync(display, False);
}

void TestDisplay::destroy(Window window) {
    XDestroyWindow(display, window);
    XSync(display, False);
}

bool TestDisplay::exists(Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0;
}

Window TestDisplay::firstChild(Window parent) {
    const std::vector<Window> list = children(parent);
    return list.empty() ? 0 : list.front();
}

std::vector<Window> TestDisplay::children(Window parent) {
    Window root = 0;
    Window up = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    std::vector<Window> found;
    if (XQueryTree(display, parent, &root, &up, &list, &count) && list) {
        found.assign(list, list + count);
        XFree(list);
    }
    return found;
}

Window TestDisplay::findTopLevel(const char* className) {
    for (const Window window : children(DefaultRootWindow(display))) {
        XClassHint hint{};
        if (!XGetClassHint(display, window, &hint)) {
            continue;
        }
        const bool match = hint.res_class && std::strcmp(hint.res_class, className) == 0;
        XFree(hint.res_name);
        XFree(hint.res_class);
        if (match) {
            return window;
        }
    }
    return 0;
}

TestDisplay::Geometry TestDisplay::geometry(Window window) {
    XWindowAttributes attributes{};
    Geometry g;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return g;
    }
    Window child = 0;
    int x = 0;
    int y = 0;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    g.x = x;
    g.y = y;
    g.width = attributes.width;
    g.height = attributes.height;
    return g;
}

TestDisplay::Picture TestDisplay::read(Window window) {
    Picture picture;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return picture;
    }
    XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image) {
        return picture;
    }
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)] =
                uint32_t(XGetPixel(image, x, y));
        }
    }
    XDestroyImage(image);
    return picture;
}

void TestDisplay::setResources(const char* text) {
    const Window root = DefaultRootWindow(display);
    if (text) {
        XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text), int(std::strlen(text)));
    } else {
        XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    }
    XSync(display, False);
}

Window TestDisplay::findPopup() {
    for (const Window window : children(DefaultRootWindow(display))) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) && attributes.override_redirect &&
            attributes.map_state == IsViewable) {
            return window;
        }
    }
    return 0;
}

Window TestDisplay::waitForPopup(int32_t waitMs) {
    Window popup = 0;
    waitUntil(waitMs, [&] { return (popup = findPopup()) != 0; });
    return popup;
}

bool TestDisplay::waitForPopupGone(Window popup, int32_t waitMs) {
    return waitUntil(waitMs, [&] {
        XWindowAttributes attributes{};
        return !XGetWindowAttributes(display, popup, &attributes) ||
               attributes.map_state != IsViewable;
    });
}

void TestDisplay::moveTo(int32_t rootX, int32_t rootY) {
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
}

void TestDisplay::click(int32_t rootX, int32_t rootY) {
    moveTo(rootX, rootY);
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XSync(display, False);
}

void TestDisplay::pressKey(unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
}

bool TestDisplay::keyReaches(Window window, int32_t rootX, int32_t rootY, int32_t waitMs) {
    XEvent event;
    while (XCheckTypedWindowEvent(display, window, KeyPress, &event)) {
    }
    moveTo(rootX, rootY);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    pressKey(XK_space);
    return waitUntil(waitMs, [&] {
        XSync(display, False);
        return XCheckTypedWindowEvent(display, window, KeyPress, &event) != 0;
    });
}
