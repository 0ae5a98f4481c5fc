#include "platform/win32/Win32Dpi.h"

#include <atomic>

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

std::atomic<uint32_t> lastWindowDpi{0};

template <typename Function>
Function lookUp(const char* module, const char* name, bool load) {
    HMODULE handle = load ? LoadLibraryA(module) : GetModuleHandleA(module);
    // Kept loaded for the process: it is a system library.
    return handle
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)))
               : nullptr;
}

uint32_t ofMonitor(HWND window) {
    static const auto dpiForMonitor = lookUp<DpiForMonitor>("shcore.dll", "GetDpiForMonitor", true);
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    UINT x = 0;
    UINT y = 0;
    if (dpiForMonitor && monitor && SUCCEEDED(dpiForMonitor(monitor, kEffectiveDpi, &x, &y))) {
        return y;
    }
    return 0;
}

uint32_t ofScreen() {
    static const auto dpiForSystem = lookUp<DpiForSystem>("user32.dll", "GetDpiForSystem", false);
    if (dpiForSystem) {
        if (const UINT dpi = dpiForSystem()) {
            return dpi;
        }
    }
    uint32_t dpi = 0;
    if (HDC screen = GetDC(nullptr)) {
        dpi = uint32_t(GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

} // namespace

uint32_t Win32Dpi::of(HWND window) {
    static const auto dpiForWindow = lookUp<DpiForWindow>("user32.dll", "GetDpiForWindow", false);
    if (window && IsWindow(window)) {
        if (dpiForWindow) {
            if (const UINT dpi = dpiForWindow(window)) {
                return dpi;
            }
        }
        if (const uint32_t dpi = ofMonitor(window)) {
            return dpi;
        }
    } else if (const uint32_t dpi = lastWindowDpi.load(std::memory_order_relaxed)) {
        return dpi;
    }
    return ofScreen();
}

void Win32Dpi::remember(uint32_t dpi) {
    lastWindowDpi.store(dpi, std::memory_order_relaxed);
}
