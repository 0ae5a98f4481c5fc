#include "platform/x11/X11Image.h"

#include <algorithm>
#include <cstring>

namespace {

bool hostIsLittleEndian() {
    const uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

} // namespace

X11Image::~X11Image() {
    if (image) {
        // The bytes are ours; XDestroyImage must not free them.
        image->data = nullptr;
        XDestroyImage(image);
    }
}

X11Image::Channel X11Image::channelOf(unsigned long mask) {
    Channel c;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++c.shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++c.bits;
    }
    return c;
}

bool X11Image::create(Display* display, Visual* visual, int depth, int32_t width, int32_t height) {
    if (image || !display || !visual || width <= 0 || height <= 0 || !visual->red_mask ||
        !visual->green_mask || !visual->blue_mask) {
        return false;
    }
    image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(width),
                         unsigned(height), 32, 0);
    if (!image) {
        return false;
    }
    data.assign(size_t(image->bytes_per_line) * size_t(height), 0);
    image->data = data.data();

    red = channelOf(visual->red_mask);
    green = channelOf(visual->green_mask);
    blue = channelOf(visual->blue_mask);
    const unsigned long all = depth >= 32 ? 0xFFFFFFFFul : (1ul << depth) - 1;
    opaqueBits = all & ~(visual->red_mask | visual->green_mask | visual->blue_mask);
    const int nativeOrder = hostIsLittleEndian() ? LSBFirst : MSBFirst;
    straight = image->bits_per_pixel == 32 && image->byte_order == nativeOrder &&
               visual->red_mask == 0xFF0000ul && visual->green_mask == 0xFF00ul &&
               visual->blue_mask == 0xFFul;
    // Opaque black until the first picture arrives.
    const unsigned long black = convert(0xFF000000u);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            XPutPixel(image, x, y, black);
        }
    }
    return true;
}

unsigned long X11Image::convert(uint32_t argb) const {
    auto scale = [](uint32_t value, const Channel& c) -> unsigned long {
        const unsigned long v = c.bits <= 8 ? value >> (8 - c.bits) : value << (c.bits - 8);
        return v << c.shift;
    };
    return scale(argb >> 16 & 0xFF, red) | scale(argb >> 8 & 0xFF, green) |
           scale(argb & 0xFF, blue) | opaqueBits;
}

bool X11Image::clip(const platform::Rect& area, platform::Rect* clipped) const {
    if (!image) {
        return false;
    }
    clipped->left = std::max(area.left, 0);
    clipped->top = std::max(area.top, 0);
    clipped->right = std::min(area.right, int32_t(image->width));
    clipped->bottom = std::min(area.bottom, int32_t(image->height));
    return clipped->left < clipped->right && clipped->top < clipped->bottom;
}

void X11Image::show(Display* display, Drawable drawable, GC gc, const platform::Rect& area) {
    platform::Rect r;
    if (clip(area, &r)) {
        XPutImage(display, drawable, gc, image, r.left, r.top, r.left, r.top,
                  unsigned(r.right - r.left), unsigned(r.bottom - r.top));
    }
}

void X11Image::put(Display* display, Drawable drawable, GC gc, const platform::Surface& surface,
                   const platform::Rect& area) {
    platform::Rect r;
    if (!image || !surface.pixels || surface.width != image->width ||
        surface.height != image->height || !clip(area, &r)) {
        return;
    }
    const int32_t left = r.left;
    const int32_t top = r.top;
    const int32_t right = r.right;
    const int32_t bottom = r.bottom;
    const uint32_t extra = uint32_t(opaqueBits);
    for (int32_t y = top; y < bottom; ++y) {
        const uint32_t* from = surface.pixels + size_t(y) * size_t(surface.width);
        if (straight) {
            char* row = image->data + size_t(y) * size_t(image->bytes_per_line);
            for (int32_t x = left; x < right; ++x) {
                const uint32_t word = (from[x] & 0xFFFFFFu) | extra;
                std::memcpy(row + size_t(x) * 4, &word, 4);
            }
        } else {
            for (int32_t x = left; x < right; ++x) {
                XPutPixel(image, x, y, convert(from[x]));
            }
        }
    }
    show(display, drawable, gc, r);
}
