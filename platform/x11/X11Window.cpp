#include "platform/x11/X11Window.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Fonts.h"
#include "platform/x11/X11PopupMenu.h"

// [SECTION] Live windows and start-up
// [SECTION] Creation and teardown
// [SECTION] Drawing
// [SECTION] Events
// [SECTION] Mouse tracking

namespace {

// [SECTION] Live windows and start-up

std::mutex& liveMutex() {
    static std::mutex m;
    return m;
}

std::vector<X11Window*>& liveWindows() {
    static std::vector<X11Window*> list;
    return list;
}

void initThreadsOnce() {
    // Hosts call the editor from threads of their choosing; Xlib must know
    // before its first connection. Newer Xlibs do this by themselves.
    static std::once_flag once;
    std::call_once(once, [] { XInitThreads(); });
}

constexpr int32_t kOpenAttempts = 10;
constexpr uint32_t kOpenRetryMs = 20;

constexpr long kWindowEvents =
    ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask;
constexpr long kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

int32_t modifiersOf(unsigned int state) {
    return (state & ShiftMask ? platform::kModShift : 0) |
           (state & ControlMask ? platform::kModControl : 0) |
           (state & Mod1Mask ? platform::kModAlt : 0);
}

int32_t buttonsHeld(unsigned int state) {
    return (state & Button1Mask ? platform::kMouseLeft : 0) |
           (state & Button2Mask ? platform::kMouseMiddle : 0) |
           (state & Button3Mask ? platform::kMouseRight : 0);
}

int32_t buttonBit(unsigned int button) {
    switch (button) {
    case Button1:
        return platform::kMouseLeft;
    case Button2:
        return platform::kMouseMiddle;
    case Button3:
        return platform::kMouseRight;
    default:
        return 0; // the wheel and extra buttons
    }
}

constexpr int32_t kAnyButton =
    platform::kMouseLeft | platform::kMouseMiddle | platform::kMouseRight;

platform::Rect unite(const platform::Rect& a, const platform::Rect& b) {
    if (a.left >= a.right || a.top >= a.bottom) {
        return b;
    }
    return platform::Rect{std::min(a.left, b.left), std::min(a.top, b.top),
                          std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

} // namespace

X11Window* X11Window::fromHandle(void* handle) {
    std::lock_guard<std::mutex> lock(liveMutex());
    const auto& live = liveWindows();
    const auto it = std::find(live.begin(), live.end(), static_cast<X11Window*>(handle));
    return it == live.end() ? nullptr : *it;
}

// [SECTION] Creation and teardown

platform::Status X11Window::create(void* parent, int32_t width, int32_t height,
                                   platform::WindowClient* client, X11Window** window) {
    if (!window) {
        return platform::Status::invalidArgument;
    }
    *window = nullptr;
    const auto parentId = static_cast<Window>(reinterpret_cast<uintptr_t>(parent));
    if (!parentId || !client || width <= 0 || height <= 0) {
        return platform::Status::invalidArgument;
    }
    initThreadsOnce();
    // Glyphs are rendered now, so that drawing later never allocates.
    X11Fonts::glyphs();

    // Deleted on any way out but success: the destructor undoes whatever
    // was made, an exception on the way included.
    std::unique_ptr<X11Window> created(new X11Window());
    created->client = client;
    // A server busy closing a connection may refuse the next one for a
    // moment, as when a host closes and reopens the editor at once.
    for (int32_t attempt = 0; attempt < kOpenAttempts && !created->display; ++attempt) {
        if (attempt > 0) {
            platform::sleep(kOpenRetryMs);
        }
        created->display = XOpenDisplay(nullptr);
    }
    if (!created->display) {
        return platform::Status::failed;
    }
    X11ErrorTrap::watch(created->display);
    XSetIOErrorExitHandler(created->display, &X11Window::ioErrorExit, created.get());
    const platform::Status opened = created->open(parentId, width, height);
    if (opened != platform::Status::ok) {
        return opened;
    }
    {
        std::lock_guard<std::mutex> lock(liveMutex());
        liveWindows().push_back(created.get());
    }
    *window = created.release();
    return platform::Status::ok;
}

platform::Status X11Window::open(Window parent, int32_t width, int32_t height) {
    // A parent that is no window is refused here, quietly, not later.
    XWindowAttributes parentAttributes{};
    X11ErrorTrap::setQuiet(display, true);
    const int found = XGetWindowAttributes(display, parent, &parentAttributes);
    X11ErrorTrap::setQuiet(display, false);
    if (!found) {
        return platform::Status::invalidArgument;
    }

    // The parent's visual when it has colour masks; otherwise a true-colour
    // one of the same screen with a colour map of our own.
    Screen* screen = parentAttributes.screen;
    windowVisual = parentAttributes.visual;
    windowDepth = parentAttributes.depth;
    if (windowVisual->c_class != TrueColor && windowVisual->c_class != DirectColor) {
        XVisualInfo info{};
        if (!XMatchVisualInfo(display, XScreenNumberOfScreen(screen), 24, TrueColor, &info)) {
            return platform::Status::failed;
        }
        windowVisual = info.visual;
        windowDepth = info.depth;
    }
    const Window root = RootWindowOfScreen(screen);
    if (windowVisual == DefaultVisualOfScreen(screen)) {
        windowColormap = DefaultColormapOfScreen(screen);
    } else {
        windowColormap = XCreateColormap(display, root, windowVisual, AllocNone);
        ownColormap = true;
    }

    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None; // exposure paints every pixel
    attributes.border_pixel = 0;
    attributes.colormap = windowColormap;
    attributes.event_mask = kWindowEvents;
    const int32_t errorsBefore = X11ErrorTrap::errorCount(display);
    window = XCreateWindow(display, parent, 0, 0, unsigned(width), unsigned(height), 0, windowDepth,
                           InputOutput, windowVisual,
                           CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &attributes);
    gc = XCreateGC(display, window, 0, nullptr);
    XMapWindow(display, window);
    XSync(display, False);
    if (X11ErrorTrap::errorCount(display) != errorsBefore ||
        !image.create(display, windowVisual, windowDepth, width, height)) {
        return platform::Status::failed;
    }
    return platform::Status::ok;
}

X11Window::~X11Window() {
    {
        std::lock_guard<std::mutex> lock(liveMutex());
        auto& live = liveWindows();
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }
    if (!display) {
        return;
    }
    popup.reset(); // on the root window: it does not go with the parent
    if (!broken) {
        // The host may have destroyed its parent, and with it our window.
        if (window) {
            X11ErrorTrap::expectGone(display, window);
        }
        if (grabbed) {
            XUngrabPointer(display, CurrentTime);
        }
        if (gc) {
            XFreeGC(display, gc);
        }
        if (window) {
            XDestroyWindow(display, window);
        }
        if (ownColormap) {
            XFreeColormap(display, windowColormap);
        }
        // Every error of ours arrives now, while the trap still watches.
        XSync(display, False);
    }
    X11ErrorTrap::unwatch(display);
    XCloseDisplay(display);
}

void X11Window::ioErrorExit(Display*, void* window) {
    // The connection is lost: the window stops using it; the host goes on.
    static_cast<X11Window*>(window)->broken = true;
}

void X11Window::markGone() {
    if (!gone) {
        gone = true;
        X11ErrorTrap::expectGone(display, window);
    }
}

// [SECTION] Drawing

platform::Status X11Window::present(const platform::Surface& surface, const platform::Rect& area) {
    if (!surface.pixels) {
        return platform::Status::invalidArgument;
    }
    if (!usable()) {
        return platform::Status::ok; // nothing left to show it in
    }
    image.put(display, window, gc, surface, area);
    XFlush(display);
    return platform::Status::ok;
}

void X11Window::expose(const XExposeEvent& event) {
    exposed = unite(
        exposed, platform::Rect{event.x, event.y, event.x + event.width, event.y + event.height});
    if (event.count == 0) {
        paintExposed();
    }
}

void X11Window::paintExposed() {
    // The image holds every pixel presented so far, which is what the
    // window must show: it is put again as it is. Asking the frame to draw
    // here instead would draw part of it in the middle of its idle, and a
    // full redraw it has pending would be taken for done.
    const platform::Rect area = exposed;
    exposed = platform::Rect{};
    if (area.left < area.right && area.top < area.bottom && usable()) {
        image.show(display, window, gc, area);
    }
}

// [SECTION] Events

void X11Window::pumpEvents() {
    if (!usable()) {
        return;
    }
    XEvent event;
    if (dispatching > 0) {
        // Inside a control's mouse tracking: the tracking loop reads the
        // pointer itself, so only exposure is handled here.
        while (usable() && XCheckWindowEvent(display, window, ExposureMask, &event)) {
            expose(event.xexpose);
        }
        paintExposed();
        return;
    }
    while (usable() && XPending(display) > 0) {
        XNextEvent(display, &event);
        if (popup && popup->takes(event)) {
            const X11PopupMenu::Outcome outcome = popup->handle(event);
            if (outcome != X11PopupMenu::Outcome::waiting) {
                endPopup(outcome == X11PopupMenu::Outcome::chosen ? popup->choice() : -1);
            }
            continue;
        }
        dispatch(event);
    }
    if (popup) {
        if (usable()) {
            popup->grabInput();
        } else {
            endPopup(-1); // our window went with the host's: so does the menu
        }
    }
    paintExposed();
    if (usable()) {
        XFlush(display);
    }
}

void X11Window::endPopup(int32_t chosen) {
    popup.reset();
    if (connected()) {
        XFlush(display);
    }
    // The client may show the next popup from here.
    client->menuClosed(chosen);
}

void X11Window::dispatch(XEvent& event) {
    if (event.xany.window != window) {
        return; // a popup's left-overs
    }
    switch (event.type) {
    case Expose:
        expose(event.xexpose);
        break;
    case DestroyNotify:
        markGone();
        break;
    case ButtonPress: {
        const int32_t bit = buttonBit(event.xbutton.button);
        if (!bit) {
            break;
        }
        mouse.x = event.xbutton.x;
        mouse.y = event.xbutton.y;
        mouse.buttons = buttonsHeld(event.xbutton.state) | bit | modifiersOf(event.xbutton.state);
        grabPointer();
        ++dispatching;
        client->mouseDown(mouse);
        --dispatching;
        releaseGrabIfUp();
        break;
    }
    case ButtonRelease: {
        const int32_t bit = buttonBit(event.xbutton.button);
        if (!bit) {
            break;
        }
        mouse.x = event.xbutton.x;
        mouse.y = event.xbutton.y;
        mouse.buttons =
            (buttonsHeld(event.xbutton.state) & ~bit) | modifiersOf(event.xbutton.state);
        client->mouseUp(mouse);
        if (!(mouse.buttons & kAnyButton) && grabbed && usable()) {
            XUngrabPointer(display, CurrentTime);
            grabbed = false;
        }
        break;
    }
    case MotionNotify:
        // Only the latest position of a run of motion matters.
        while (XCheckTypedWindowEvent(display, window, MotionNotify, &event)) {
        }
        mouse.x = event.xmotion.x;
        mouse.y = event.xmotion.y;
        mouse.buttons = buttonsHeld(event.xmotion.state) | modifiersOf(event.xmotion.state);
        client->mouseMoved(mouse);
        break;
    default:
        break;
    }
}

// [SECTION] Mouse tracking

void X11Window::grabPointer() {
    if (grabbed || !usable()) {
        return;
    }
    grabbed = XGrabPointer(display, window, False, kPointerEvents, GrabModeAsync, GrabModeAsync,
                           None, None, CurrentTime) == GrabSuccess;
}

void X11Window::releaseGrabIfUp() {
    if (!grabbed || !usable()) {
        grabbed = false;
        return;
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int state = 0;
    const bool held =
        XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &state) &&
        (buttonsHeld(state) & kAnyButton);
    if (!held) {
        XUngrabPointer(display, CurrentTime);
        grabbed = false;
    }
}

void X11Window::pollMouse(platform::MouseState* state) {
    if (!usable()) {
        mouse.buttons = 0;
        *state = mouse;
        return;
    }
    // The events of the tracked gesture are taken here; the pointer's state
    // now is what counts.
    XEvent event;
    while (XCheckWindowEvent(display, window, kPointerEvents, &event)) {
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &buttons)) {
        mouse.x = x;
        mouse.y = y;
        mouse.buttons = buttonsHeld(buttons) | modifiersOf(buttons);
    } else {
        mouse.buttons = 0; // the pointer is on another screen
    }
    if (!(mouse.buttons & kAnyButton) && grabbed) {
        XUngrabPointer(display, CurrentTime);
        grabbed = false;
    }
    *state = mouse;
}

bool X11Window::popupMenu(int32_t x, int32_t y, const platform::MenuItem* items, size_t count) {
    popup.reset();
    if (!usable() || count == 0) {
        return false;
    }
    auto menu = std::make_unique<X11PopupMenu>(*this, items, count);
    if (!menu->show(x, y)) {
        return false;
    }
    grabbed = false; // the popup took the pointer over and lets it go
    popup = std::move(menu);
    return true;
}
