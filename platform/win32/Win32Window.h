// The editor's child window inside the host's HWND. It keeps the last
// presented surface in a DIB section, paints from it, turns mouse messages
// into WindowClient calls (holding the capture while a button is down) and
// runs the native popup menus. The handle the toolkit gets is the HWND.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

class Win32Window {
public:
    // Makes a visible child of `parent` at (0, 0) in the window class of the
    // module that holds us. busy when `parent` already holds one of ours.
    static platform::Status create(HWND parent, int32_t width, int32_t height,
                                   platform::WindowClient* client, HINSTANCE module, HWND* made);
    // Ours behind a live handle, else null.
    static Win32Window* fromHandle(void* handle);

    HWND handle() const { return hwnd; }
    // Destroys the HWND; the object goes with it, and with the last window
    // the class.
    void destroy();
    // Takes the class back when no window of ours is left.
    static void unregisterClassWhenUnused();

    platform::Status present(const platform::Surface& surface, const platform::Rect& area);
    // The pointer for a tracking loop, after one pending WM_PAINT of the
    // thread's queue has been served.
    void poll(platform::MouseState* state) const;
    // A modal TrackPopupMenu at (x, y) of this window. The chosen index, or
    // -1 when dismissed.
    int32_t popup(int32_t x, int32_t y, const platform::MenuItem* items, size_t count);

    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

private:
    Win32Window(platform::WindowClient* client, int32_t width, int32_t height);
    ~Win32Window();

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool makeSurface();
    void paint();
    void mouseDown(WPARAM wParam, LPARAM lParam);
    void mouseUp(WPARAM wParam, LPARAM lParam);
    void mouseMoved(WPARAM wParam, LPARAM lParam);
    // Runs a client call; the object may be destroyed meanwhile (the host
    // can close the editor from inside a tracking loop): false then.
    template <typename Call>
    bool callClient(Call call);
    void onDestroyed();

    HWND hwnd = nullptr;
    platform::WindowClient* client;
    int32_t width;
    int32_t height;
    HDC surfaceDc = nullptr;
    HBITMAP surfaceBitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    uint32_t* bits = nullptr; // top-down, stride == width, 0x00RRGGBB
    bool painting = false;
    int32_t clientCalls = 0;
    bool deleteWhenIdle = false;
};
