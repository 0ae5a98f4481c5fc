#include "toolkit/CDrawContext.h"

#include <cstdlib>

#include "platform/platform.h"
#include "toolkit/CFrame.h"

namespace {

uint32_t blend(uint32_t dst, const CColor& c) {
    const uint32_t a = c.alpha;
    auto mix = [a](uint32_t d, uint32_t s) { return (s * a + d * (255 - a) + 127) / 255; };
    return 0xFF000000u | mix(dst >> 16 & 0xFF, c.red) << 16 | mix(dst >> 8 & 0xFF, c.green) << 8 |
           mix(dst & 0xFF, c.blue);
}

} // namespace

CDrawContext::CDrawContext(CFrame* owner, uint32_t* surface, int32_t surfaceWidth,
                           int32_t surfaceHeight)
    : frame(owner), pixels(nullptr), width(0), height(0) {
    attachPixels(surface, surfaceWidth, surfaceHeight);
}

void CDrawContext::attachPixels(uint32_t* surface, int32_t surfaceWidth, int32_t surfaceHeight) {
    const bool usable = surface && surfaceWidth > 0 && surfaceHeight > 0;
    pixels = usable ? surface : nullptr;
    width = usable ? surfaceWidth : 0;
    height = usable ? surfaceHeight : 0;
    resetState();
}

uint32_t CDrawContext::getPixel(int32_t x, int32_t y) const {
    if (!pixels || x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

void CDrawContext::restoreState(const State& state) {
    offset = state.offset;
    clip = state.clip.intersection(CRect(0, 0, width, height));
}

void CDrawContext::resetState() {
    offset = CPoint();
    clip = CRect(0, 0, width, height);
}

void CDrawContext::setClipRect(const CRect& rect) {
    CRect r = rect;
    clip = r.offset(offset.x, offset.y).intersection(CRect(0, 0, width, height));
}

void CDrawContext::clipTo(const CRect& rect) {
    CRect r = rect;
    clip = clip.intersection(r.offset(offset.x, offset.y));
}

CRect CDrawContext::getClipRect() const {
    CRect r = clip;
    return r.offset(-offset.x, -offset.y);
}

void CDrawContext::plot(int32_t x, int32_t y, const CColor& colour) {
    if (!clip.pointInside(CPoint(x, y))) {
        return;
    }
    uint32_t& p = pixels[size_t(y) * size_t(width) + size_t(x)];
    p = colour.alpha == 255 ? colour.toArgb() : blend(p, colour);
}

void CDrawContext::fillRect(const CRect& rect) {
    CRect r = rect;
    r = r.offset(offset.x, offset.y).intersection(clip);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) {
            plot(x, y, fillColor);
        }
    }
}

void CDrawContext::drawRect(const CRect& rect) {
    if (rect.isEmpty()) {
        return;
    }
    const CColor saved = fillColor;
    fillColor = frameColor;
    fillRect(CRect(rect.left, rect.top, rect.right, rect.top + 1));
    fillRect(CRect(rect.left, rect.bottom - 1, rect.right, rect.bottom));
    fillRect(CRect(rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1));
    fillRect(CRect(rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1));
    fillColor = saved;
}

void CDrawContext::lineTo(const CPoint& point) {
    // Bresenham, on surface coordinates.
    int32_t x = penPosition.x + offset.x;
    int32_t y = penPosition.y + offset.y;
    const int32_t x1 = point.x + offset.x;
    const int32_t y1 = point.y + offset.y;
    const int32_t dx = std::abs(x1 - x);
    const int32_t dy = -std::abs(y1 - y);
    const int32_t sx = x < x1 ? 1 : -1;
    const int32_t sy = y < y1 ? 1 : -1;
    int32_t err = dx + dy;
    while (x != x1 || y != y1) {
        plot(x, y, frameColor);
        const int32_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    penPosition = point;
}

void CDrawContext::drawString(const char* text, const CRect& rect, int32_t horiAlign) {
    if (!text || !pixels) {
        return;
    }
    CRect box = rect;
    box.offset(offset.x, offset.y);
    platform::TextRun run;
    run.text = text;
    run.font = font;
    run.box = platform::Rect{box.left, box.top, box.right, box.bottom};
    run.clip = platform::Rect{clip.left, clip.top, clip.right, clip.bottom};
    run.align = horiAlign == kLeftText    ? platform::TextAlign::left
                : horiAlign == kRightText ? platform::TextAlign::right
                                          : platform::TextAlign::centre;
    run.colour = fontColor.toArgb();
    platform::drawText(platform::Surface{width, height, pixels}, run);
}

int32_t CDrawContext::getStringWidth(const char* text) const {
    int32_t w = 0;
    if (!text || platform::textWidth(font, text, &w) != platform::Status::ok) {
        return 0;
    }
    return w;
}

void CDrawContext::drawPixels(const uint32_t* src, int32_t srcWidth, int32_t srcHeight,
                              const CRect& dest, const CPoint& srcOffset,
                              const uint32_t* keyColour) {
    if (!src || !pixels) {
        return;
    }
    // The part of `dest` that the source covers, then the clip, on the surface.
    CRect covered(dest.left, dest.top, dest.left + std::min(dest.width(), srcWidth - srcOffset.x),
                  dest.top + std::min(dest.height(), srcHeight - srcOffset.y));
    if (srcOffset.x < 0) {
        covered.left -= srcOffset.x;
    }
    if (srcOffset.y < 0) {
        covered.top -= srcOffset.y;
    }
    const CRect onSurface = covered.offset(offset.x, offset.y).intersection(clip);
    const int32_t shiftX = srcOffset.x - dest.left - offset.x;
    const int32_t shiftY = srcOffset.y - dest.top - offset.y;
    for (int32_t y = onSurface.top; y < onSurface.bottom; ++y) {
        const uint32_t* srcRow = src + size_t(y + shiftY) * size_t(srcWidth);
        uint32_t* dstRow = pixels + size_t(y) * size_t(width);
        for (int32_t x = onSurface.left; x < onSurface.right; ++x) {
            const uint32_t p = srcRow[x + shiftX];
            if (keyColour && (p & 0x00FFFFFFu) == (*keyColour & 0x00FFFFFFu)) {
                continue;
            }
            dstRow[x] = p | 0xFF000000u;
        }
    }
}

bool CDrawContext::pollMouse(CPoint& where, int32_t& buttons) {
    if (!frame || !frame->pollMouse(where, buttons)) {
        buttons = 0;
        return false;
    }
    where.offset(-offset.x, -offset.y);
    return true;
}
