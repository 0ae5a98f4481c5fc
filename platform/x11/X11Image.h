// A client-side image the size of a window, in the window visual's pixel
// format: areas of a 0xAARRGGBB surface are converted into it and sent
// with XPutImage. Any TrueColor or DirectColor visual works; the common
// 24- and 32-bit ones take a straight copy. Colour bits outside the masks
// (the alpha of a 32-bit visual) are set, so the picture stays opaque.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/x11/XlibHeaders.h"

#include "platform/platform.h"

class X11Image {
public:
    X11Image() = default;
    ~X11Image();
    X11Image(const X11Image&) = delete;
    X11Image& operator=(const X11Image&) = delete;

    // False when the visual has no colour masks or the image cannot be made.
    bool create(Display* display, Visual* visual, int depth, int32_t width, int32_t height);
    bool ready() const { return image != nullptr; }

    // Converts `area` of `surface` (as large as the image) and shows it at
    // the same place of `drawable`. The area is clipped to the image.
    void put(Display* display, Drawable drawable, GC gc, const platform::Surface& surface,
             const platform::Rect& area);
    // Shows `area` of what the image holds now, as the last put left it.
    void show(Display* display, Drawable drawable, GC gc, const platform::Rect& area);

private:
    struct Channel {
        int32_t shift = 0;
        int32_t bits = 0;
    };
    static Channel channelOf(unsigned long mask);
    unsigned long convert(uint32_t argb) const;
    // `area` clipped to the image; false when nothing is left.
    bool clip(const platform::Rect& area, platform::Rect* clipped) const;

    XImage* image = nullptr;
    std::vector<char> data;
    Channel red;
    Channel green;
    Channel blue;
    unsigned long opaqueBits = 0; // bits of the depth outside the colour masks
    bool straight = false;        // 0x00RRGGBB words in host byte order
};
