// A top-level window of the Windows tests, standing in for a host's: the
// plug-in's editor (or the platform layer's child) is made inside it. It
// pumps the thread's messages as a host's loop does and reads back what a
// window shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "RawImage.h"

class HostWindow {
public:
    // A visible window whose client area is width x height at (x, y) of the
    // screen.
    HostWindow(const char* title, int32_t x, int32_t y, int32_t width = 570, int32_t height = 180);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return hwnd; }
    // The first child window, null when there is none.
    HWND child() const;
    // Forgets a window the test destroyed itself.
    void release() { hwnd = nullptr; }

    // Dispatches every message waiting for this thread.
    static void pump();
    // The window's pixels as its DC shows them (BitBlt).
    static RawImage capture(HWND window);
    // The window's pixels as it prints them (PrintWindow, client area).
    static RawImage print(HWND window);
    static std::string className(HWND window);

private:
    HWND hwnd = nullptr;
};
