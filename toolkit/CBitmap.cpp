#include "toolkit/CBitmap.h"

#include "platform/platform.h"
#include "toolkit/CDrawContext.h"

CBitmap::CBitmap(int32_t id) : resourceId(id) {
    int32_t w = 0;
    int32_t h = 0;
    if (platform::bitmapSize(id, &w, &h) != platform::Status::ok || w <= 0 || h <= 0) {
        return;
    }
    std::vector<uint32_t> loaded(size_t(w) * size_t(h));
    if (platform::loadBitmap(id, loaded.data(), loaded.size()) != platform::Status::ok) {
        return;
    }
    width = w;
    height = h;
    pixels = std::move(loaded);
}

CBitmap::CBitmap(int32_t w, int32_t h) {
    if (w > 0 && h > 0) {
        width = w;
        height = h;
        pixels.assign(size_t(w) * size_t(h), 0xFF000000u);
    }
}

uint32_t CBitmap::getPixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) const {
    if (context && isLoaded()) {
        context->drawPixels(pixels.data(), width, height, rect, offset, nullptr);
    }
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect,
                              const CPoint& offset) const {
    if (context && isLoaded()) {
        const uint32_t key = keyColour.toArgb();
        context->drawPixels(pixels.data(), width, height, rect, offset, &key);
    }
}
