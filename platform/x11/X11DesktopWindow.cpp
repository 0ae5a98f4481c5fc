#include "platform/x11/X11DesktopWindow.h"

#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

#include <X11/Xatom.h>

#include "platform/x11/X11ErrorTrap.h"

namespace {

Atom atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

void setText(Display* display, Window window, const char* property, const char* text) {
    const std::string value = text ? text : "";
    XChangeProperty(display, window, atom(display, property), atom(display, "UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(value.data()),
                    int(value.size()));
}

// Xlib hands 32-bit properties over as longs, whatever a long's size.
std::vector<long> iconCardinals(const uint32_t* icon, size_t length) {
    std::vector<long> cardinals;
    size_t at = 0;
    while (icon && at + 2 <= length) {
        const size_t count = size_t(icon[at]) * size_t(icon[at + 1]);
        if (count == 0 || at + 2 + count > length) {
            break; // a damaged table: keep what was whole
        }
        for (size_t i = 0; i < count + 2; ++i) {
            cardinals.push_back(long(icon[at + i]));
        }
        at += count + 2;
    }
    return cardinals;
}

} // namespace

platform::Status X11DesktopWindow::create(const platform::DesktopWindowSetup& setup,
                                          X11DesktopWindow** window) {
    if (!window) {
        return platform::Status::invalidArgument;
    }
    *window = nullptr;
    if (setup.width <= 0 || setup.height <= 0 || !setup.className) {
        return platform::Status::invalidArgument;
    }
    static std::once_flag once;
    std::call_once(once, [] { XInitThreads(); });

    std::unique_ptr<X11DesktopWindow> created(new X11DesktopWindow());
    created->display = XOpenDisplay(nullptr);
    if (!created->display) {
        return platform::Status::failed;
    }
    X11ErrorTrap::watch(created->display);
    XSetIOErrorExitHandler(created->display, &X11DesktopWindow::ioErrorExit, created.get());
    const platform::Status opened = created->open(setup);
    if (opened != platform::Status::ok) {
        return opened;
    }
    *window = created.release();
    return platform::Status::ok;
}

platform::Status X11DesktopWindow::open(const platform::DesktopWindowSetup& setup) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask;
    const int32_t errorsBefore = X11ErrorTrap::errorCount(display);
    window = XCreateWindow(display, RootWindow(display, screen), 0, 0, unsigned(setup.width),
                           unsigned(setup.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWBackPixel | CWEventMask, &attributes);

    // The editor has one size: the window manager offers no resizing.
    XSizeHints* size = XAllocSizeHints();
    if (size) {
        size->flags = PMinSize | PMaxSize;
        size->min_width = size->max_width = setup.width;
        size->min_height = size->max_height = setup.height;
        XSetWMNormalHints(display, window, size);
        XFree(size);
    }
    // Instance and class, e.g. for a desktop file's StartupWMClass.
    std::string instance = setup.instanceName ? setup.instanceName : setup.className;
    std::string className = setup.className;
    XClassHint hint{};
    hint.res_name = instance.data();
    hint.res_class = className.data();
    XSetClassHint(display, window, &hint);
    setTitle(setup.title ? setup.title : setup.className);

    // The close button asks; it does not kill the client.
    deleteWindow = atom(display, "WM_DELETE_WINDOW");
    XSetWMProtocols(display, window, &deleteWindow, 1);

    // Who runs the window, so that a window manager can end a hung program.
    const long pid = long(getpid());
    XChangeProperty(display, window, atom(display, "_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        XTextProperty machine{};
        char* hostName = host;
        if (XStringListToTextProperty(&hostName, 1, &machine)) {
            XSetWMClientMachine(display, window, &machine);
            XFree(machine.value);
        }
    }
    const std::vector<long> icon = iconCardinals(setup.icon, setup.iconLength);
    if (!icon.empty()) {
        XChangeProperty(display, window, atom(display, "_NET_WM_ICON"), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(icon.data()),
                        int(icon.size()));
    }
    XSync(display, False);
    return X11ErrorTrap::errorCount(display) == errorsBefore ? platform::Status::ok
                                                             : platform::Status::failed;
}

X11DesktopWindow::~X11DesktopWindow() {
    if (!display) {
        return;
    }
    if (!broken) {
        if (window) {
            XDestroyWindow(display, window);
        }
        XSync(display, False);
    }
    X11ErrorTrap::unwatch(display);
    XCloseDisplay(display);
}

void X11DesktopWindow::ioErrorExit(Display*, void* window) {
    // The display went away: the program hears it as a close request.
    static_cast<X11DesktopWindow*>(window)->broken = true;
}

platform::Status X11DesktopWindow::show() {
    if (broken) {
        return platform::Status::failed;
    }
    XMapWindow(display, window);
    XFlush(display);
    return platform::Status::ok;
}

platform::Status X11DesktopWindow::setTitle(const char* title) {
    if (!title) {
        return platform::Status::invalidArgument;
    }
    if (broken) {
        return platform::Status::failed;
    }
    // The legacy name for old window managers, the UTF-8 one for the rest.
    XStoreName(display, window, title);
    setText(display, window, "_NET_WM_NAME", title);
    XFlush(display);
    return platform::Status::ok;
}

bool X11DesktopWindow::pump() {
    while (!broken && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && event.xclient.window == window &&
            Atom(event.xclient.data.l[0]) == deleteWindow) {
            closeRequested = true;
        } else if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
            closeRequested = true;
            window = 0;
        }
    }
    return closeRequested;
}
