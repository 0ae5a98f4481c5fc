// Copying a block of a picture into a context, against the pixel rule
// written out one pixel at a time: a pixel of the destination rectangle is
// drawn when the source has one there and the clip holds it, made opaque,
// and left out when it has the key colour (the alpha byte does not count).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "toolkit/COffscreenContext.h"
#include "toolkitFakes.h"

namespace {

struct Picture {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels;
};

// Colours with every alpha byte, a few of them the key colour.
Picture makePicture(int32_t width, int32_t height, uint32_t seed, uint32_t key) {
    Picture p{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
    for (uint32_t& px : p.pixels) {
        seed = seed * 1664525u + 1013904223u;
        px = (seed >> 8) % 5 == 0 ? (key & 0x00FFFFFFu) | (seed & 0xFF000000u) : seed;
    }
    return p;
}

// The expected surface after drawing `src` into `dest` (local coordinates of
// a context with this offset and clip), one pixel at a time.
std::vector<uint32_t> expectedSurface(std::vector<uint32_t> surface, int32_t surfaceWidth,
                                      const CPoint& offset, const CRect& clipOnSurface,
                                      const Picture& src, const CRect& dest,
                                      const CPoint& srcOffset, const uint32_t* key) {
    const int32_t surfaceHeight = int32_t(surface.size()) / surfaceWidth;
    for (int32_t y = 0; y < surfaceHeight; ++y) {
        for (int32_t x = 0; x < surfaceWidth; ++x) {
            const int32_t lx = x - offset.x;
            const int32_t ly = y - offset.y;
            const int32_t sx = srcOffset.x + lx - dest.left;
            const int32_t sy = srcOffset.y + ly - dest.top;
            if (!clipOnSurface.pointInside(CPoint(x, y)) || !dest.pointInside(CPoint(lx, ly)) ||
                sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) {
                continue;
            }
            const uint32_t p = src.pixels[size_t(sy) * size_t(src.width) + size_t(sx)];
            if (key && (p & 0x00FFFFFFu) == (*key & 0x00FFFFFFu)) {
                continue;
            }
            surface[size_t(y) * size_t(surfaceWidth) + size_t(x)] = p | 0xFF000000u;
        }
    }
    return surface;
}

struct Case {
    int32_t surfaceWidth;
    int32_t surfaceHeight;
    Picture src;
    CRect dest;
    CPoint srcOffset;
    CPoint offset;
    CRect clip; // local coordinates; empty: the whole surface
};

void expectRuleHolds(const Case& c, const uint32_t* key) {
    COffscreenContext context(c.surfaceWidth, c.surfaceHeight, CColor{9, 8, 7, 255});
    context.setOffset(c.offset);
    if (!c.clip.isEmpty()) {
        context.setClipRect(c.clip);
    }
    const CRect clipOnSurface = context.getClipRect().offset(c.offset.x, c.offset.y);
    const size_t count = size_t(c.surfaceWidth) * size_t(c.surfaceHeight);
    const std::vector<uint32_t> before(context.getPixels(), context.getPixels() + count);
    const std::vector<uint32_t> expected = expectedSurface(
        before, c.surfaceWidth, c.offset, clipOnSurface, c.src, c.dest, c.srcOffset, key);

    context.drawPixels(c.src.pixels.data(), c.src.width, c.src.height, c.dest, c.srcOffset, key);
    const std::vector<uint32_t> after(context.getPixels(), context.getPixels() + count);
    EXPECT_EQ(after, expected) << "dest (" << c.dest.left << ", " << c.dest.top << ", "
                               << c.dest.right << ", " << c.dest.bottom << ") from ("
                               << c.srcOffset.x << ", " << c.srcOffset.y << ") of " << c.src.width
                               << " x " << c.src.height << (key ? ", keyed" : "");
}

TEST(DrawPixels, NarrowBlocksFollowThePixelRuleAtEveryEdge) {
    // Blocks 1 to 6 columns wide, as bars and their off-screen buffers are,
    // cut by the surface, the clip and the source at each side.
    const uint32_t key = kWhite;
    uint32_t seed = 1;
    for (int32_t columns = 1; columns <= 6; ++columns) {
        const Picture src = makePicture(columns, 20, seed++, key);
        for (int32_t shift = -3; shift <= 3; ++shift) {
            for (int32_t srcX : {-2, 0, 1}) {
                for (const CRect& clip : {CRect(), CRect(1, 2, 9, 14), CRect(-5, 5, 3, 30)}) {
                    const Case c{10,
                                 16,
                                 src,
                                 CRect(shift, shift - 2, shift + columns, shift + 17),
                                 CPoint(srcX, 1),
                                 CPoint(0, 0),
                                 clip};
                    expectRuleHolds(c, nullptr);
                    expectRuleHolds(c, &key);
                }
            }
        }
    }
}

TEST(DrawPixels, WideBlocksAndOffsetsFollowThePixelRule) {
    const uint32_t key = rgb(0, 0, 102);
    const Picture src = makePicture(37, 11, 77, key);
    for (int32_t dx = -40; dx <= 40; dx += 9) {
        for (int32_t ox = -12; ox <= 12; ox += 6) {
            const Case c{30,
                         12,
                         src,
                         CRect(dx, -2, dx + 41, 20),
                         CPoint(ox, ox / 3),
                         CPoint(2, -1),
                         CRect(-1, 0, 25, 9)};
            expectRuleHolds(c, nullptr);
            expectRuleHolds(c, &key);
        }
    }
}

TEST(DrawPixels, WholeRowsOnBothSidesAreCopiedAsOneRun) {
    // Source, surface and block of one width: a bar's images into its buffer.
    const Picture src = makePicture(3, 100, 5, kWhite);
    for (int32_t top : {0, 7, 50, 99}) {
        expectRuleHolds(Case{3, 100, src, CRect(0, top, 3, 100), CPoint(0, top), CPoint(), CRect()},
                        nullptr);
    }
    const Picture wide = makePicture(64, 9, 6, kWhite);
    expectRuleHolds(Case{64, 9, wide, CRect(0, 0, 64, 9), CPoint(), CPoint(), CRect()}, nullptr);
}

TEST(DrawPixels, APictureDrawnOntoItselfIsCopiedPixelByPixelInOrder) {
    // One to the right: each pixel copies the one just written, so the
    // first runs along the row.
    COffscreenContext context(4, 1);
    uint32_t* row = context.getPixels();
    const uint32_t a = rgb(1, 0, 0), b = rgb(2, 0, 0), c = rgb(3, 0, 0), d = rgb(4, 0, 0);
    row[0] = a & 0x00FFFFFFu; // not yet opaque
    row[1] = b;
    row[2] = c;
    row[3] = d;
    context.drawPixels(row, 4, 1, CRect(1, 0, 4, 1), CPoint(0, 0), nullptr);
    EXPECT_EQ(std::vector<uint32_t>(row, row + 4),
              (std::vector<uint32_t>{a & 0x00FFFFFFu, a, a, a}));

    // One to the left: a plain shift.
    row[0] = a;
    row[1] = b & 0x00FFFFFFu;
    row[2] = c;
    row[3] = d;
    context.drawPixels(row, 4, 1, CRect(0, 0, 3, 1), CPoint(1, 0), nullptr);
    EXPECT_EQ(std::vector<uint32_t>(row, row + 4), (std::vector<uint32_t>{b, c, d, d}));
}

TEST(DrawPixels, AKeyColourReadFromTheDestinationIsReadForEachPixel) {
    // The key lies in the first destination pixel: once that is drawn, the
    // next pixel of the same colour counts as key.
    COffscreenContext context(3, 1);
    uint32_t* row = context.getPixels();
    const uint32_t green = rgb(0, 200, 0);
    const uint32_t red = rgb(200, 0, 0);
    const uint32_t blue = rgb(0, 0, 200);
    row[0] = row[1] = row[2] = green;
    const uint32_t src[3] = {red, red, blue};
    context.drawPixels(src, 3, 1, CRect(0, 0, 3, 1), CPoint(), &row[0]);
    EXPECT_EQ(std::vector<uint32_t>(row, row + 3), (std::vector<uint32_t>{red, green, blue}));
}

} // namespace
