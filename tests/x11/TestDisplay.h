// The test host's own X connection: parent windows for the editor, the
// pictures they show read back with XGetImage, and clicks and keys sent
// through XTest as a user would.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/x11/XlibHeaders.h"

class TestDisplay {
public:
    struct Geometry {
        int32_t x = 0; // root coordinates
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };
    struct Picture {
        int32_t width = 0;
        int32_t height = 0;
        std::vector<uint32_t> pixels; // 0x00RRGGBB, or 0xAARRGGBB from a 32-bit window
        uint32_t rgb(int32_t x, int32_t y) const {
            return pixels[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFFu;
        }
    };

    TestDisplay();
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    // False when no X server can be reached or it lacks XTest.
    bool usable() const { return display != nullptr && hasXTest; }
    // The connection itself, null when no X server could be reached.
    Display* connection() const { return display; }

    // A mapped top-level window at (x, y) of the root that hears the keys
    // pressed in it; `depth` 32 asks for a visual with alpha, 0 for the
    // screen's default.
    Window createParent(int32_t x, int32_t y, int32_t width, int32_t height, int depth = 0);
    void resize(Window window, int32_t width, int32_t height);
    void destroy(Window window);
    bool exists(Window window);
    // The first child of `parent`; 0 if it has none.
    Window firstChild(Window parent);
    // A top-level window whose WM_CLASS class is `className`, or 0.
    Window findTopLevel(const char* className);
    Geometry geometry(Window window);

    Picture read(Window window);
    // An override-redirect window mapped on the root, or 0.
    Window findPopup();
    // The same, waiting for one to appear.
    Window waitForPopup(int32_t waitMs);
    bool waitForPopupGone(Window popup, int32_t waitMs);

    // The RESOURCE_MANAGER property of the root window, as xrdb sets it;
    // null deletes it.
    void setResources(const char* text);

    void click(int32_t rootX, int32_t rootY);
    void pressKey(unsigned long keysym);
    // Focuses `window`, presses a key with the pointer at (rootX, rootY)
    // and tells whether the window heard it.
    bool keyReaches(Window window, int32_t rootX, int32_t rootY, int32_t waitMs);
    void moveTo(int32_t rootX, int32_t rootY);

    // X errors of the test's own connection.
    static int32_t errors;

private:
    // Bottom first.
    std::vector<Window> children(Window parent);

    Display* display = nullptr;
    bool hasXTest = false;
    std::vector<Colormap> colormaps;
};
