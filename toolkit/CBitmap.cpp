#include "toolkit/CBitmap.h"

#include "toolkit/CBitmapCache.h"
#include "toolkit/CDrawContext.h"

CBitmap::CBitmap(int32_t id) : resourceId(id) {
    CBitmapCache::Image image = CBitmapCache::resources().find(id);
    if (image.pixels) {
        width = image.width;
        height = image.height;
        pixels = std::move(image.pixels);
    }
}

CBitmap::CBitmap(int32_t w, int32_t h) {
    if (w > 0 && h > 0) {
        width = w;
        height = h;
        auto blank = std::make_shared<std::vector<uint32_t>>(size_t(w) * size_t(h), 0xFF000000u);
        ownPixels = blank->data();
        pixels = std::move(blank);
    }
}

uint32_t* CBitmap::getPixels() {
    if (pixels && !ownPixels) {
        // Every bitmap of this resource reads the same pixels: write into a copy.
        auto copy = std::make_shared<std::vector<uint32_t>>(*pixels);
        ownPixels = copy->data();
        pixels = std::move(copy);
    }
    return ownPixels;
}

uint32_t CBitmap::getPixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return (*pixels)[size_t(y) * size_t(width) + size_t(x)];
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) const {
    if (context && isLoaded()) {
        context->drawPixels(pixels->data(), width, height, rect, offset, nullptr);
    }
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect,
                              const CPoint& offset) const {
    if (context && isLoaded()) {
        const uint32_t key = keyColour.toArgb();
        context->drawPixels(pixels->data(), width, height, rect, offset, &key);
    }
}
