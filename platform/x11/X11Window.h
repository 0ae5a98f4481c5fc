// The editor's child window on X11. Each window has a display connection
// of its own, opened with the window and closed with it, so that editors in
// several plug-in instances and on any host thread never share Xlib state.
// Events are read when the frame idles (pumpEvents): exposed areas are put
// again from the image of what was last presented, buttons and motion go to
// the client, or to an open popup menu, whose outcome then goes to the
// client. While a control tracks the mouse the pointer is grabbed and
// pollMouse reads it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/x11/XlibHeaders.h"

#include "platform/platform.h"
#include "platform/x11/X11Image.h"

class X11PopupMenu;

class X11Window {
public:
    // Opens the connection, creates the window at (0, 0) of `parent` (an X
    // window id) and maps it at once.
    static platform::Status create(void* parent, int32_t width, int32_t height,
                                   platform::WindowClient* client, X11Window** window);
    // Destroys the window and closes the connection; a parent the host has
    // already destroyed is no fault.
    ~X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    // The live window behind a handle; null for anything else.
    static X11Window* fromHandle(void* handle);

    platform::Status present(const platform::Surface& surface, const platform::Rect& area);
    void pumpEvents();
    void pollMouse(platform::MouseState* state);
    // Shows a popup, closing one still open unreported; false when none
    // could be shown.
    bool popupMenu(int32_t x, int32_t y, const platform::MenuItem* items, size_t count);

    // The scale (percent) the client draws at; popups follow it.
    void setScale(int32_t percent) { windowScale = percent; }
    int32_t scale() const { return windowScale; }

    // For the popup menu, which runs on this window's connection.
    Display* connection() const { return display; }
    Window id() const { return window; }
    Visual* visual() const { return windowVisual; }
    int depth() const { return windowDepth; }
    Colormap colormap() const { return windowColormap; }
    bool usable() const { return display && !gone && !broken; }
    bool connected() const { return display && !broken; }

private:
    X11Window() = default;
    platform::Status open(Window parent, int32_t width, int32_t height);
    void dispatch(XEvent& event);
    // Exposure of this window.
    void expose(const XExposeEvent& event);
    // The window was destroyed under us (with the host's parent).
    void markGone();
    // Takes the popup down and tells the client its outcome.
    void endPopup(int32_t chosen);
    void paintExposed();
    void grabPointer();
    void releaseGrabIfUp();
    static void ioErrorExit(Display* display, void* window);

    Display* display = nullptr;
    Window window = 0;
    Visual* windowVisual = nullptr;
    int windowDepth = 0;
    Colormap windowColormap = 0;
    bool ownColormap = false;
    GC gc = nullptr;
    X11Image image;
    platform::WindowClient* client = nullptr;
    std::unique_ptr<X11PopupMenu> popup;
    platform::MouseState mouse;
    platform::Rect exposed;  // gathered until the last Expose of a series
    int32_t dispatching = 0; // > 0 while the client handles a button press
    int32_t windowScale = 100;
    bool grabbed = false;
    bool gone = false;   // destroyed by the server: no more requests on it
    bool broken = false; // the connection failed
};
