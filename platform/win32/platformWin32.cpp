// The platform contract on Windows: Win32Window for the child window,
// GdiText for text, bitmap resources of this module, and the system
// services straight from the API.
#include "platform/platform.h"

#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "platform/win32/GdiText.h"
#include "platform/win32/Win32Dpi.h"
#include "platform/win32/Win32Window.h"
#include "resources/PixelPack.h"

namespace {

std::atomic<void*> storedModule{nullptr};

// The module the library's load hook stored; failing that, the one this
// code lives in, which holds the resources all the same.
HINSTANCE module() {
    if (void* stored = storedModule.load(std::memory_order_relaxed)) {
        return static_cast<HINSTANCE>(stored);
    }
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&storedModule), &self);
    return self;
}

bool resourceId(int32_t id) {
    return id > 0 && id <= 0xFFFF;
}

HBITMAP loadResourceBitmap(int32_t id) {
    if (!resourceId(id)) {
        return nullptr;
    }
    return static_cast<HBITMAP>(
        LoadImageA(module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The scaled bitmaps are RCDATA resources in PixelPack form (a fraction of
// their size as BITMAP resources); the 1x ones are BITMAP resources.
struct Packed {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

bool findPacked(int32_t id, Packed* packed) {
    if (!resourceId(id)) {
        return false;
    }
    const HINSTANCE from = module();
    HRSRC found = FindResourceA(from, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(from, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        return false;
    }
    packed->data = static_cast<const uint8_t*>(bytes);
    packed->size = SizeofResource(from, found);
    return true;
}

} // namespace

namespace platform {

Status createWindow(void* parent, int32_t width, int32_t height, WindowClient* client,
                    void** window) {
    if (!window) {
        return Status::invalidArgument;
    }
    *window = nullptr;
    HWND made = nullptr;
    const Status status =
        Win32Window::create(static_cast<HWND>(parent), width, height, client, module(), &made);
    if (status == Status::ok) {
        // Room for a line as wide as the window, so that text never grows
        // the scratch bitmap while the editor runs.
        GdiText::instance().reserve(width, height);
        *window = made;
    }
    return status;
}

Status destroyWindow(void* window) {
    Win32Window* w = Win32Window::fromHandle(window);
    if (!w) {
        return Status::invalidArgument;
    }
    w->destroy();
    return Status::ok;
}

Status present(void* window, const Surface& surface, const Rect& area) {
    Win32Window* w = Win32Window::fromHandle(window);
    return w ? w->present(surface, area) : Status::invalidArgument;
}

Status pumpEvents(void* window) {
    // The host's message loop calls the window procedure: nothing waits here.
    return Win32Window::fromHandle(window) ? Status::ok : Status::invalidArgument;
}

Status nativeWindow(void* window, uintptr_t* id) {
    Win32Window* w = Win32Window::fromHandle(window);
    if (!w || !id) {
        return Status::invalidArgument;
    }
    *id = reinterpret_cast<uintptr_t>(w->handle());
    return Status::ok;
}

Status pollMouse(void* window, MouseState* state) {
    Win32Window* w = Win32Window::fromHandle(window);
    if (!w || !state) {
        return Status::invalidArgument;
    }
    w->poll(state);
    return Status::ok;
}

Status popupMenu(void* window, int32_t x, int32_t y, const MenuItem* items, size_t count,
                 int32_t* chosen) {
    Win32Window* w = Win32Window::fromHandle(window);
    if (!w || !chosen || (!items && count > 0)) {
        return Status::invalidArgument;
    }
    *chosen = w->popup(x, y, items, count);
    return Status::ok;
}

Status drawText(const Surface& surface, const TextRun& run) {
    return GdiText::instance().drawText(surface, run);
}

Status textWidth(int32_t font, const char* text, int32_t* width, int32_t scale) {
    return GdiText::instance().textWidth(font, text, width, scale);
}

Status desktopScale(void* parent, float* factor) {
    if (!factor) {
        return Status::invalidArgument;
    }
    const uint32_t dpi = Win32Dpi::of(static_cast<HWND>(parent));
    if (dpi == 0) {
        return Status::notFound;
    }
    *factor = float(dpi) / float(Win32Dpi::kBase);
    return Status::ok;
}

Status setWindowScale(void* window, int32_t scale) {
    // The system draws the native popups at the desktop's scale itself.
    return Win32Window::fromHandle(window) && scaleIndex(scale) >= 0 ? Status::ok
                                                                     : Status::invalidArgument;
}

Status bitmapSize(int32_t id, int32_t* width, int32_t* height) {
    if (!width || !height) {
        return Status::invalidArgument;
    }
    Packed packed;
    if (findPacked(id, &packed)) {
        return PixelPack::readSize(packed.data, packed.size, width, height)
                   ? Status::ok
                   : Status::invalidArgument;
    }
    HBITMAP bitmap = loadResourceBitmap(id);
    if (!bitmap) {
        return Status::notFound;
    }
    BITMAP description{};
    const bool known = GetObjectA(bitmap, sizeof(description), &description) != 0;
    DeleteObject(bitmap);
    if (!known) {
        return Status::failed;
    }
    *width = description.bmWidth;
    *height = std::abs(description.bmHeight);
    return Status::ok;
}

Status loadBitmap(int32_t id, uint32_t* pixels, size_t capacity) {
    if (!pixels) {
        return Status::invalidArgument;
    }
    Packed packed;
    if (findPacked(id, &packed)) {
        return PixelPack::decode(packed.data, packed.size, pixels, capacity)
                   ? Status::ok
                   : Status::invalidArgument;
    }
    HBITMAP bitmap = loadResourceBitmap(id);
    if (!bitmap) {
        return Status::notFound;
    }
    BITMAP description{};
    if (!GetObjectA(bitmap, sizeof(description), &description)) {
        DeleteObject(bitmap);
        return Status::failed;
    }
    const int32_t w = description.bmWidth;
    const int32_t h = std::abs(description.bmHeight);
    if (w <= 0 || h <= 0 || capacity < size_t(w) * size_t(h)) {
        DeleteObject(bitmap);
        return Status::invalidArgument;
    }
    // GDI converts whatever depth the resource has into top-down 32-bit
    // rows, which are 0x00RRGGBB values in the surface's own layout.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    const int rows = dc ? GetDIBits(dc, bitmap, 0, UINT(h), pixels, &info, DIB_RGB_COLORS) : 0;
    if (dc) {
        DeleteDC(dc);
    }
    DeleteObject(bitmap);
    if (rows != h) {
        return Status::failed;
    }
    for (size_t i = 0; i < size_t(w) * size_t(h); ++i) {
        pixels[i] |= 0xFF000000u;
    }
    return Status::ok;
}

uint32_t tickCount() {
    return GetTickCount();
}

void sleep(uint32_t milliseconds) {
    Sleep(milliseconds);
}

Status openUrl(const char* url) {
    if (!url || !*url) {
        return Status::invalidArgument;
    }
    // Values above 32 mean the shell took the request.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32 ? Status::ok : Status::failed;
}

Status oleInitialize() {
    // S_FALSE (already initialised on this thread) still wants its
    // OleUninitialize.
    return SUCCEEDED(OleInitialize(nullptr)) ? Status::ok : Status::failed;
}

void oleUninitialize() {
    OleUninitialize();
}

void setModuleHandle(void* handle) {
    storedModule.store(handle, std::memory_order_relaxed);
}

void* moduleHandle() {
    return storedModule.load(std::memory_order_relaxed);
}

} // namespace platform
