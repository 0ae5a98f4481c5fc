#include "platform/win32/Win32Window.h"

#include <windowsx.h>

#include "platform/win32/Win32Dpi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The DPI messages of newer Windows, for older headers: a top-level window
// gets the first, a child the second once its parent has moved.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// One window class per module: its name carries the module handle, so two
// copies of the plug-in in one process (or a test next to the DLL) never
// share a class whose window procedure lives in the other copy.
struct WindowClass {
    ATOM atom = 0;
    HINSTANCE module = nullptr;
    int32_t windows = 0;
    char name[64] = {};
};

WindowClass& windowClass() {
    static WindowClass wc;
    return wc;
}

bool registerClass(HINSTANCE module, WNDPROC procedure) {
    WindowClass& wc = windowClass();
    if (wc.atom) {
        return wc.module == module;
    }
    std::snprintf(wc.name, sizeof(wc.name), "tq-spectrum-frame-%p", static_cast<void*>(module));
    WNDCLASSEXA description{};
    description.cbSize = sizeof(description);
    // No CS_DBLCLKS: a quick second click arrives as another button down.
    description.lpfnWndProc = procedure;
    description.hInstance = module;
    description.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    description.lpszClassName = wc.name;
    wc.atom = RegisterClassExA(&description);
    if (!wc.atom && GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        // Left registered by windows the host destroyed with its own: the
        // class is ours all the same, and so is its window procedure.
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof(existing);
        wc.atom = ATOM(GetClassInfoExA(module, wc.name, &existing));
    }
    if (!wc.atom) {
        wc.name[0] = 0;
        return false;
    }
    wc.module = module;
    return true;
}

int32_t buttonsFrom(WPARAM keys) {
    int32_t buttons = 0;
    buttons |= (keys & MK_LBUTTON) ? platform::kMouseLeft : 0;
    buttons |= (keys & MK_MBUTTON) ? platform::kMouseMiddle : 0;
    buttons |= (keys & MK_RBUTTON) ? platform::kMouseRight : 0;
    buttons |= (keys & MK_SHIFT) ? platform::kModShift : 0;
    buttons |= (keys & MK_CONTROL) ? platform::kModControl : 0;
    buttons |= GetKeyState(VK_MENU) < 0 ? platform::kModAlt : 0;
    return buttons;
}

platform::MouseState stateFrom(WPARAM wParam, LPARAM lParam) {
    return platform::MouseState{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), buttonsFrom(wParam)};
}

bool keyDown(int key) {
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

// Physical buttons as the user means them: with swapped buttons the left
// one is the right key.
int32_t buttonsNow() {
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    int32_t buttons = 0;
    buttons |= keyDown(swapped ? VK_RBUTTON : VK_LBUTTON) ? platform::kMouseLeft : 0;
    buttons |= keyDown(VK_MBUTTON) ? platform::kMouseMiddle : 0;
    buttons |= keyDown(swapped ? VK_LBUTTON : VK_RBUTTON) ? platform::kMouseRight : 0;
    buttons |= keyDown(VK_SHIFT) ? platform::kModShift : 0;
    buttons |= keyDown(VK_CONTROL) ? platform::kModControl : 0;
    buttons |= keyDown(VK_MENU) ? platform::kModAlt : 0;
    return buttons;
}

constexpr int32_t kAnyButton =
    platform::kMouseLeft | platform::kMouseMiddle | platform::kMouseRight;

// Menu texts are shown literally: an ampersand would otherwise underline
// the next letter.
void menuText(const char* text, char* out, size_t capacity) {
    size_t n = 0;
    for (const char* c = text ? text : ""; *c && n + 2 < capacity; ++c) {
        if (*c == '&') {
            out[n++] = '&';
        }
        out[n++] = *c;
    }
    out[n] = 0;
}

} // namespace

void Win32Window::unregisterClassWhenUnused() {
    // Only once the last window has gone: while one exists (even one being
    // destroyed) the system refuses, and the class stays for the next.
    WindowClass& wc = windowClass();
    if (wc.atom && wc.windows == 0 && UnregisterClassA(MAKEINTATOM(wc.atom), wc.module)) {
        wc = WindowClass{};
    }
}

Win32Window::Win32Window(platform::WindowClient* windowClient, int32_t w, int32_t h)
    : client(windowClient), width(w), height(h) {}

Win32Window::~Win32Window() {
    if (surfaceDc) {
        SelectObject(surfaceDc, previousBitmap);
        DeleteDC(surfaceDc);
    }
    if (surfaceBitmap) {
        DeleteObject(surfaceBitmap);
    }
}

bool Win32Window::makeSurface() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, as the toolkit's surface
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    surfaceBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    surfaceDc = CreateCompatibleDC(nullptr);
    if (!surfaceBitmap || !surfaceDc || !memory) {
        return false;
    }
    bits = static_cast<uint32_t*>(memory);
    std::fill(bits, bits + size_t(width) * size_t(height), 0u);
    previousBitmap = SelectObject(surfaceDc, surfaceBitmap);
    return true;
}

platform::Status Win32Window::create(HWND parent, int32_t width, int32_t height,
                                     platform::WindowClient* client, HINSTANCE module, HWND* made) {
    if (!parent || !IsWindow(parent) || !client || !made || width <= 0 || height <= 0) {
        return platform::Status::invalidArgument;
    }
    if (!registerClass(module, windowProc)) {
        return platform::Status::failed;
    }
    if (FindWindowExA(parent, nullptr, MAKEINTATOM(windowClass().atom), nullptr)) {
        return platform::Status::busy;
    }
    auto* window = new (std::nothrow) Win32Window(client, width, height);
    if (!window || !window->makeSurface()) {
        delete window;
        unregisterClassWhenUnused();
        return platform::Status::failed;
    }
    ++windowClass().windows;
    // WM_NCCREATE ties the object to the HWND; from then on WM_NCDESTROY
    // deletes it, whoever destroys the window.
    HWND hwnd = CreateWindowExA(0, MAKEINTATOM(windowClass().atom), "",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width, height,
                                parent, nullptr, module, window);
    if (!hwnd) {
        if (!window->hwnd) {
            delete window;
            --windowClass().windows;
        }
        unregisterClassWhenUnused();
        return platform::Status::failed;
    }
    *made = hwnd;
    return platform::Status::ok;
}

Win32Window* Win32Window::fromHandle(void* handle) {
    HWND hwnd = static_cast<HWND>(handle);
    const WindowClass& wc = windowClass();
    if (!hwnd || !wc.atom || !IsWindow(hwnd) ||
        GetClassLongPtrA(hwnd, GCW_ATOM) != static_cast<ULONG_PTR>(wc.atom)) {
        return nullptr;
    }
    return reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void Win32Window::destroy() {
    if (hwnd) {
        DestroyWindow(hwnd);
    }
    unregisterClassWhenUnused();
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* window = static_cast<Win32Window*>(created->lpCreateParams);
        window->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!window) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        window->onDestroyed();
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return window->onMessage(message, wParam, lParam);
}

void Win32Window::onDestroyed() {
    hwnd = nullptr;
    client = nullptr;
    --windowClass().windows;
    if (clientCalls > 0) {
        deleteWhenIdle = true;
    } else {
        delete this;
    }
}

template <typename Call>
bool Win32Window::callClient(Call call) {
    if (!client) {
        return false;
    }
    ++clientCalls;
    call(client);
    --clientCalls;
    if (deleteWhenIdle && clientCalls == 0) {
        delete this;
        return false;
    }
    return hwnd != nullptr;
}

LRESULT Win32Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_PRINTCLIENT:
        BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, width, height, surfaceDc, 0, 0, SRCCOPY);
        return 0;
    case WM_ERASEBKGND:
        // The picture covers the whole window: nothing to erase first.
        return 1;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        mouseDown(wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
        mouseUp(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        mouseMoved(wParam, lParam);
        return 0;
    case kDpiChanged:
    case kDpiChangedAfterParent:
        // Now on a monitor of another density: the editor's next open
        // takes its scale (an open window keeps its size).
        Win32Dpi::remember(message == kDpiChanged ? HIWORD(wParam) : Win32Dpi::of(hwnd));
        return DefWindowProcA(hwnd, message, wParam, lParam);
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void Win32Window::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HWND self = hwnd;
    const RECT area = ps.rcPaint;
    // The toolkit draws the area again and presents it into the DIB; the
    // DIB then goes to the screen in one blit.
    if (client) {
        painting = true;
        const bool alive = callClient([&](platform::WindowClient* c) {
            c->paint(platform::Rect{area.left, area.top, area.right, area.bottom});
        });
        if (!alive) {
            // Destroyed while drawing: only the paint cycle is left to close.
            EndPaint(self, &ps);
            return;
        }
        painting = false;
    }
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, surfaceDc,
           area.left, area.top, SRCCOPY);
    EndPaint(hwnd, &ps);
}

void Win32Window::mouseDown(WPARAM wParam, LPARAM lParam) {
    // Moves and the release reach us even outside the window while a
    // control tracks the mouse.
    if (GetCapture() != hwnd) {
        SetCapture(hwnd);
    }
    const platform::MouseState state = stateFrom(wParam, lParam);
    if (!callClient([&](platform::WindowClient* c) { c->mouseDown(state); })) {
        return;
    }
    // A tracking loop or a popup may have taken the release already.
    if (!(buttonsNow() & kAnyButton) && GetCapture() == hwnd) {
        ReleaseCapture();
    }
}

void Win32Window::mouseUp(WPARAM wParam, LPARAM lParam) {
    const platform::MouseState state = stateFrom(wParam, lParam);
    if (!callClient([&](platform::WindowClient* c) { c->mouseUp(state); })) {
        return;
    }
    if (!(state.buttons & kAnyButton) && GetCapture() == hwnd) {
        ReleaseCapture();
    }
}

void Win32Window::mouseMoved(WPARAM wParam, LPARAM lParam) {
    const platform::MouseState state = stateFrom(wParam, lParam);
    callClient([&](platform::WindowClient* c) { c->mouseMoved(state); });
}

platform::Status Win32Window::present(const platform::Surface& surface,
                                      const platform::Rect& area) {
    if (!surface.pixels || surface.width != width || surface.height != height) {
        return platform::Status::invalidArgument;
    }
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, width);
    const int32_t bottom = std::min(area.bottom, height);
    if (left >= right || top >= bottom) {
        return platform::Status::ok;
    }
    // 0xAARRGGBB in memory is the DIB's blue, green, red, unused.
    GdiFlush();
    const size_t bytes = size_t(right - left) * sizeof(uint32_t);
    for (int32_t y = top; y < bottom; ++y) {
        const size_t at = size_t(y) * size_t(width) + size_t(left);
        std::memcpy(bits + at, surface.pixels + at, bytes);
    }
    // Inside WM_PAINT the paint handler blits the whole update area itself.
    if (!painting && hwnd) {
        if (HDC dc = GetDC(hwnd)) {
            BitBlt(dc, left, top, right - left, bottom - top, surfaceDc, left, top, SRCCOPY);
            ReleaseDC(hwnd, dc);
        }
    }
    return platform::Status::ok;
}

void Win32Window::poll(platform::MouseState* state) const {
    // The idle work of a tracking loop includes serving one repaint.
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    if (hwnd) {
        ScreenToClient(hwnd, &cursor);
    }
    *state = platform::MouseState{cursor.x, cursor.y, buttonsNow()};
}

int32_t Win32Window::popup(int32_t x, int32_t y, const platform::MenuItem* items, size_t count) {
    HMENU menu = CreatePopupMenu();
    if (!menu) {
        return -1;
    }
    // Item identifiers are index + 1: TrackPopupMenu answers 0 for a
    // dismissed menu, and entry 0 can be chosen like any other.
    for (size_t i = 0; i < count; ++i) {
        if (items[i].separator) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char text[520];
        menuText(items[i].text, text, sizeof(text));
        AppendMenuA(menu, MF_STRING | (items[i].checked ? MF_CHECKED : MF_UNCHECKED), i + 1, text);
    }
    POINT corner{x, y};
    ClientToScreen(hwnd, &corner);
    const BOOL id = TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
        corner.x, corner.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
    return id > 0 && size_t(id) <= count ? int32_t(id) - 1 : -1;
}
