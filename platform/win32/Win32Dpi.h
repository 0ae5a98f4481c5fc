// The DPI the desktop gives a window, 96 being 1x. Per-monitor DPI came
// with Windows 8.1 (GetDpiForMonitor, shcore.dll) and 10 (GetDpiForWindow,
// GetDpiForSystem); they are looked up at run time, so that older Windows
// and wine without them fall back to the screen's LOGPIXELSY. A process the
// system does not count as DPI aware is told 96 and stretched by Windows.
#pragma once

#include <windows.h>

#include <cstdint>

class Win32Dpi {
public:
    static constexpr uint32_t kBase = 96;

    // The DPI of the monitor `window` is on; with none, the DPI our editor
    // window last reported (WM_DPICHANGED), else the system's. 0 if unknown.
    static uint32_t of(HWND window);
    // Called by the editor window when its monitor's DPI changes.
    static void remember(uint32_t dpi);
};
