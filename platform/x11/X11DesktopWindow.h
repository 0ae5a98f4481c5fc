// A top-level window on a display connection of its own: the title, the
// window manager's class, the icon and a fixed size are set before it is
// shown; the close button is read as a request (WM_DELETE_WINDOW), never as
// a kill. The editor's child window lives inside it on its own connection.
#pragma once

#include <cstdint>

#include "platform/x11/XlibHeaders.h"

#include "platform/desktop.h"

class X11DesktopWindow {
public:
    static platform::Status create(const platform::DesktopWindowSetup& setup,
                                   X11DesktopWindow** window);
    ~X11DesktopWindow();
    X11DesktopWindow(const X11DesktopWindow&) = delete;
    X11DesktopWindow& operator=(const X11DesktopWindow&) = delete;

    Window id() const { return window; }
    platform::Status show();
    platform::Status setTitle(const char* title);
    // True once the user asked to close the window.
    bool pump();
    bool connected() const { return !broken; }

private:
    X11DesktopWindow() = default;
    platform::Status open(const platform::DesktopWindowSetup& setup);
    static void ioErrorExit(Display* display, void* window);

    Display* display = nullptr;
    Window window = 0;
    Atom deleteWindow = 0;
    bool closeRequested = false;
    bool broken = false;
};
