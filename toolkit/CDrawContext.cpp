#include "toolkit/CDrawContext.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "toolkit/CFrame.h"

namespace {

uint32_t blend(uint32_t dst, const CColor& c) {
    const uint32_t a = c.alpha;
    auto mix = [a](uint32_t d, uint32_t s) { return (s * a + d * (255 - a) + 127) / 255; };
    return 0xFF000000u | mix(dst >> 16 & 0xFF, c.red) << 16 | mix(dst >> 8 & 0xFF, c.green) << 8 |
           mix(dst & 0xFF, c.blue);
}

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kColourBits = 0x00FFFFFFu;

// A rectangle of pixels to copy: both corners resolved to pointers, strides
// in pixels.
struct PixelBlock {
    const uint32_t* src = nullptr;
    uint32_t* dst = nullptr;
    size_t srcStride = 0;
    size_t dstStride = 0;
    size_t columns = 0;
    size_t rows = 0;

    // Whether writing the block may change what it still has to read.
    bool writesInto(const uint32_t* keyColour) const {
        const auto dstFirst = reinterpret_cast<uintptr_t>(dst);
        const auto dstEnd = reinterpret_cast<uintptr_t>(dst + (rows - 1) * dstStride + columns);
        const auto srcFirst = reinterpret_cast<uintptr_t>(src);
        const auto srcEnd = reinterpret_cast<uintptr_t>(src + (rows - 1) * srcStride + columns);
        const auto key = reinterpret_cast<uintptr_t>(keyColour);
        return (srcFirst < dstEnd && dstFirst < srcEnd) ||
               (keyColour && dstFirst <= key && key < dstEnd);
    }
};

// Row by row, left to right, one pixel at a time, reading the key colour
// for each: the order that decides the outcome when the destination
// overlaps the picture or holds the key colour.
void copyInOrder(const PixelBlock& block, const uint32_t* keyColour) {
    const uint32_t* srcRow = block.src;
    uint32_t* dstRow = block.dst;
    for (size_t y = 0; y < block.rows; ++y) {
        for (size_t x = 0; x < block.columns; ++x) {
            const uint32_t p = srcRow[x];
            if (keyColour && (p & kColourBits) == (*keyColour & kColourBits)) {
                continue;
            }
            dstRow[x] = p | kOpaque;
        }
        srcRow += block.srcStride;
        dstRow += block.dstStride;
    }
}

// Source and destination do not overlap. Four pixels are loaded before any
// is stored, so that the compiler may move them as one vector.
void copyRunOpaque(uint32_t* dst, const uint32_t* src, size_t count) {
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const uint32_t p0 = src[i];
        const uint32_t p1 = src[i + 1];
        const uint32_t p2 = src[i + 2];
        const uint32_t p3 = src[i + 3];
        dst[i] = p0 | kOpaque;
        dst[i + 1] = p1 | kOpaque;
        dst[i + 2] = p2 | kOpaque;
        dst[i + 3] = p3 | kOpaque;
    }
    for (; i < count; ++i) {
        dst[i] = src[i] | kOpaque;
    }
}

// Rows of a few pixels (a bar is 3 wide): the width is a constant, so each
// row is a handful of moves with no loop of its own, two pixels at a time.
template <size_t Columns>
void copyNarrowOpaque(const PixelBlock& block) {
    constexpr uint64_t kOpaquePair = uint64_t(kOpaque) << 32 | kOpaque;
    const uint32_t* srcRow = block.src;
    uint32_t* dstRow = block.dst;
    for (size_t y = 0; y < block.rows; ++y) {
        for (size_t x = 0; x + 2 <= Columns; x += 2) {
            uint64_t pair;
            std::memcpy(&pair, srcRow + x, sizeof pair);
            pair |= kOpaquePair;
            std::memcpy(dstRow + x, &pair, sizeof pair);
        }
        if (Columns % 2 != 0) {
            dstRow[Columns - 1] = srcRow[Columns - 1] | kOpaque;
        }
        srcRow += block.srcStride;
        dstRow += block.dstStride;
    }
}

void copyOpaque(const PixelBlock& block) {
    if (block.srcStride == block.columns && block.dstStride == block.columns) {
        // Whole rows on both sides: the block is one run.
        copyRunOpaque(block.dst, block.src, block.columns * block.rows);
        return;
    }
    switch (block.columns) {
    case 1:
        copyNarrowOpaque<1>(block);
        return;
    case 2:
        copyNarrowOpaque<2>(block);
        return;
    case 3:
        copyNarrowOpaque<3>(block);
        return;
    case 4:
        copyNarrowOpaque<4>(block);
        return;
    default:
        break;
    }
    const uint32_t* srcRow = block.src;
    uint32_t* dstRow = block.dst;
    for (size_t y = 0; y < block.rows; ++y) {
        copyRunOpaque(dstRow, srcRow, block.columns);
        srcRow += block.srcStride;
        dstRow += block.dstStride;
    }
}

void copyKeyed(const PixelBlock& block, uint32_t keyColour) {
    const uint32_t key = keyColour & kColourBits;
    const uint32_t* srcRow = block.src;
    uint32_t* dstRow = block.dst;
    for (size_t y = 0; y < block.rows; ++y) {
        for (size_t x = 0; x < block.columns; ++x) {
            const uint32_t p = srcRow[x];
            if ((p & kColourBits) != key) {
                dstRow[x] = p | kOpaque;
            }
        }
        srcRow += block.srcStride;
        dstRow += block.dstStride;
    }
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
    run.scale = scale;
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
    if (!text || platform::textWidth(font, text, &w, scale) != platform::Status::ok) {
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
    if (onSurface.isEmpty()) {
        return;
    }
    const int32_t shiftX = srcOffset.x - dest.left - offset.x;
    const int32_t shiftY = srcOffset.y - dest.top - offset.y;
    PixelBlock block;
    block.src =
        src + size_t(onSurface.top + shiftY) * size_t(srcWidth) + size_t(onSurface.left + shiftX);
    block.dst = pixels + size_t(onSurface.top) * size_t(width) + size_t(onSurface.left);
    block.srcStride = size_t(srcWidth);
    block.dstStride = size_t(width);
    block.columns = size_t(onSurface.width());
    block.rows = size_t(onSurface.height());
    if (block.writesInto(keyColour)) {
        copyInOrder(block, keyColour);
    } else if (keyColour) {
        copyKeyed(block, *keyColour);
    } else {
        copyOpaque(block);
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
