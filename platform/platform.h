// The one contract between the widget toolkit and the operating system.
//
// The toolkit draws every pixel itself into a Surface; a platform layer only
// does what needs the OS: a child window inside the host's window, showing a
// rectangle of the surface, mouse input, a popup menu, text, bitmap
// resources, time, opening a URL and the module handle. Handles are opaque
// (void*); no OS type appears here. Exactly one layer is linked per build.
// No call throws: a layer that runs out of memory answers Status::failed.
//
// [SECTION] Types
// [SECTION] Window
// [SECTION] Popup menu
// [SECTION] Text
// [SECTION] Scale
// [SECTION] Bitmap resources
// [SECTION] System services
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// [SECTION] Types

enum class Status : int32_t {
    ok = 0,
    invalidArgument = 1, // null, unknown handle, bad size or index
    notFound = 2,        // no such resource, font or URL handler
    busy = 3,            // the parent already holds a child window
    failed = 4,          // the OS refused
};

// Row-major pixels, stride == width, each 0xAARRGGBB. Owned by the caller.
struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t* pixels = nullptr;
};

// Pixels of a surface or window; right and bottom are exclusive.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Bits of MouseState::buttons.
enum MouseBits : int32_t {
    kMouseLeft = 1,
    kMouseMiddle = 2,
    kMouseRight = 4,
    kModShift = 8,
    kModControl = 16,
    kModAlt = 32,
};

// Position relative to the child window's top-left corner.
struct MouseState {
    int32_t x = 0;
    int32_t y = 0;
    int32_t buttons = 0;
};

// What a child window reports back. The layer calls it on the thread that
// runs the window (the host's user-interface thread), from the system's own
// dispatch where there is one: nothing may unwind out of these calls.
class WindowClient {
public:
    virtual void mouseDown(const MouseState& state) = 0;
    // A control follows a held button through pollMouse, so a client may
    // leave moves and releases alone.
    virtual void mouseMoved(const MouseState&) {}
    virtual void mouseUp(const MouseState&) {}
    // The OS lost the picture of this area: draw it and present it again.
    virtual void paint(const Rect& area) = 0;
    // The outcome of a popup that popupMenu left pending: the chosen
    // index, or -1 when it was dismissed.
    virtual void menuClosed(int32_t) {}

protected:
    ~WindowClient() = default;
};

// [SECTION] Window

// Creates a visible child window of `parent` at (0, 0) of the given size and
// stores its handle in *window. Input for it goes to `client`.
Status createWindow(void* parent, int32_t width, int32_t height, WindowClient* client,
                    void** window);
// Never called from inside a call the layer makes to the window's client
// (pumpEvents included): the frame waits until that call has returned.
Status destroyWindow(void* window);

// The system's own identifier of the window, for a host that embeds it
// (X11: its window id; Win32: its HWND; headless: the handle itself).
Status nativeWindow(void* window, uintptr_t* id);

// Shows `area` of `surface` (the same size as the window) in the window.
Status present(void* window, const Surface& surface, const Rect& area);

// Reads the window's pending OS events and delivers them to its client,
// the outcome of a pending popup among them. Where the OS calls the window
// itself (Win32) it returns at once. Called from the frame's idle.
Status pumpEvents(void* window);

// The pointer now, for the mouse-tracking loop of a control: one call per
// pass. Buttons are reported released once the user lets go.
Status pollMouse(void* window, MouseState* state);

// [SECTION] Popup menu

struct MenuItem {
    const char* text = nullptr;
    bool separator = false; // a dividing line; cannot be chosen
    bool checked = false;   // shows a check mark
};

// *chosen while the user has not decided yet.
constexpr int32_t kPopupPending = -2;

// Shows a popup whose top-left corner is at (x, y) of the window; item i's
// identifier is i, and the items are copied. Where the OS runs its menus in
// a loop of its own that serves the host's messages (Win32), the call
// returns once the user has decided: *chosen is the chosen index, or -1
// when dismissed. Elsewhere it returns at once with kPopupPending, and the
// outcome reaches the window's client through menuClosed from a later
// pumpEvents, so the caller's thread is never held. A popup that cannot be
// shown at all fails, *chosen -1. A window has one popup at most: showing
// another, or destroying the window, closes it unreported.
Status popupMenu(void* window, int32_t x, int32_t y, const MenuItem* items, size_t count,
                 int32_t* chosen);

// [SECTION] Text

// Numbered fonts, Arial (or its metric twin) of normal weight; the value is
// the character height in pixels. Only 4 and 6 are used by the product.
constexpr int32_t kFontCount = 7;
constexpr int32_t kFontHeights[kFontCount] = {12, 18, 14, 12, 11, 10, 9};

enum class TextAlign : int32_t { left = 0, centre = 1, right = 2 };

struct TextRun {
    const char* text = nullptr; // one line of ASCII
    int32_t font = 4;
    int32_t scale = 100; // percent, one of kScales: the font's height grows with it
    Rect box;            // aligned horizontally in it, centred vertically
    Rect clip;           // nothing is drawn outside, nor outside the surface
    TextAlign align = TextAlign::left;
    uint32_t colour = 0xFFFFFFFF; // 0xAARRGGBB
};

Status drawText(const Surface& surface, const TextRun& run);
Status textWidth(int32_t font, const char* text, int32_t* width, int32_t scale = 100);

// [SECTION] Scale

// The scales the editor draws at, in percent: 1x, 1.5x and 2x. Lengths at a
// scale are scaledLength(); a font's height is its kFontHeights value scaled.
constexpr int32_t kScaleCount = 3;
constexpr int32_t kScales[kScaleCount] = {100, 150, 200};

// Position in kScales, or -1 for any other value.
constexpr int32_t scaleIndex(int32_t scale) {
    for (int32_t i = 0; i < kScaleCount; ++i) {
        if (kScales[i] == scale) {
            return i;
        }
    }
    return -1;
}

// `length` pixels at 1x, at `scale` percent, rounded to the nearest pixel
// (halves up); lengths are never negative.
constexpr int32_t scaledLength(int32_t length, int32_t scale) {
    return (length * scale + 50) / 100;
}

// What the desktop asks windows in `parent` to be scaled by (X11: the
// Xft.dpi resource over 96, or GDK_SCALE; Windows: the DPI of the parent's
// monitor over 96). A null parent asks for the desktop's default. notFound
// where the desktop says nothing.
Status desktopScale(void* parent, float* factor);

// The scale (percent) the window's contents are drawn at, for what the
// layer draws itself (the X11 popup menus).
Status setWindowScale(void* window, int32_t scale);

// [SECTION] Bitmap resources

// Width and height of bitmap resource `id`.
Status bitmapSize(int32_t id, int32_t* width, int32_t* height);
// Copies its pixels (0xFFRRGGBB, top row first) into `pixels`, which holds
// `capacity` values, at least width * height.
Status loadBitmap(int32_t id, uint32_t* pixels, size_t capacity);

// [SECTION] System services

// Milliseconds since an arbitrary start; wraps around.
uint32_t tickCount();
void sleep(uint32_t milliseconds);
// Opens the address in the user's browser; does not wait for it.
Status openUrl(const char* url);
// Per-thread OLE initialisation, which the editor asks for when it is made
// (Windows); no-ops elsewhere. Calls pair up.
Status oleInitialize();
void oleUninitialize();
// The handle of the loaded module, stored by the library's load hook.
void setModuleHandle(void* handle);
void* moduleHandle();

} // namespace platform
