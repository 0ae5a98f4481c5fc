// A window of its own on the user's desktop, for a program that shows the
// editor by itself instead of inside a host. The program creates it, hands
// desktopWindowParent() to the editor as its parent, and reads it in its
// main loop. Handles are opaque; only the layers that run on a desktop
// (x11) implement this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace platform {

struct DesktopWindowSetup {
    const char* title = nullptr;
    // The window manager's name for this instance and for the program.
    const char* instanceName = nullptr;
    const char* className = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    // Icons back to back, each its width, its height and width * height
    // 0xAARRGGBB pixels, top row first. May be null.
    const uint32_t* icon = nullptr;
    size_t iconLength = 0;
};

// Creates the window, of a fixed size and not yet shown.
Status createDesktopWindow(const DesktopWindowSetup& setup, void** window);
// The editor's parent: what createWindow takes as `parent`.
void* desktopWindowParent(void* window);
Status showDesktopWindow(void* window);
Status setDesktopWindowTitle(void* window, const char* title);
// Reads the window's events. *closeRequested becomes true once the user has
// asked the window manager to close the window; it stays open until
// destroyed. Status::failed once the display's connection is lost.
Status pumpDesktopWindow(void* window, bool* closeRequested);
Status destroyDesktopWindow(void* window);

} // namespace platform
