#include "HostWindow.h"

#include <vector>

namespace {

const char* hostClass() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = "tq-test-host";
        atom = RegisterClassExA(&wc);
    }
    return "tq-test-host";
}

struct Size {
    int32_t width;
    int32_t height;
};

Size clientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return Size{r.right - r.left, r.bottom - r.top};
}

// A top-down 32-bit DIB whose rows are 0x00RRGGBB values.
RawImage readBack(HWND window, bool printed) {
    const Size size = clientSize(window);
    if (size.width <= 0 || size.height <= 0) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (printed) {
        PrintWindow(window, memory, PW_CLIENTONLY);
    } else {
        HDC dc = GetDC(window);
        BitBlt(memory, 0, 0, size.width, size.height, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> pixels(p, p + size_t(size.width) * size_t(size.height));
    for (uint32_t& v : pixels) {
        v |= 0xFF000000u;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return RawImage(size.width, size.height, std::move(pixels));
}

} // namespace

HostWindow::HostWindow(const char* title, int32_t x, int32_t y, int32_t width, int32_t height) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    hwnd = CreateWindowExA(0, hostClass(), title, style, x, y, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
        pump();
    }
}

HostWindow::~HostWindow() {
    if (hwnd && IsWindow(hwnd)) {
        DestroyWindow(hwnd);
    }
    pump();
}

HWND HostWindow::child() const {
    return hwnd ? GetWindow(hwnd, GW_CHILD) : nullptr;
}

void HostWindow::pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

RawImage HostWindow::capture(HWND window) {
    return readBack(window, false);
}

RawImage HostWindow::print(HWND window) {
    return readBack(window, true);
}

std::string HostWindow::className(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}
