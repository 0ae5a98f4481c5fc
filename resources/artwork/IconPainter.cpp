#include "resources/artwork/IconPainter.h"

#include <algorithm>
#include <cmath>

#include "resources/artwork/Canvas.h"

namespace {

constexpr Rgb kTileTop{34, 34, 156};
constexpr Rgb kTileBottom{0, 0, 72};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGreen{51, 255, 0};
constexpr Rgb kGreenTop{200, 255, 120};

// Heights of the bars, a spectrum falling to the right after one peak.
constexpr float kProfile[] = {0.55f, 0.85f, 1.0f, 0.7f, 0.8f, 0.5f, 0.35f};

// Fraction of the pixel inside the tile's rounded outline, sampled 4 x 4.
float tileCoverage(int32_t x, int32_t y, float size, float radius) {
    int32_t inside = 0;
    for (int32_t sy = 0; sy < 4; ++sy) {
        for (int32_t sx = 0; sx < 4; ++sx) {
            const float px = float(x) + (float(sx) + 0.5f) / 4.0f;
            const float py = float(y) + (float(sy) + 0.5f) / 4.0f;
            const float cx = std::clamp(px, radius, size - radius);
            const float cy = std::clamp(py, radius, size - radius);
            const float dx = px - cx;
            const float dy = py - cy;
            inside += dx * dx + dy * dy <= radius * radius ? 1 : 0;
        }
    }
    return float(inside) / 16.0f;
}

} // namespace

std::vector<uint32_t> IconPainter::icon(int32_t size) {
    Canvas c(size, size, kTileTop);
    for (int32_t y = 0; y < size; ++y) {
        c.fillRect(0, y, size, y + 1, Canvas::mix(kTileTop, kTileBottom, float(y) / float(size)));
    }
    // The plot: fewer, wider bars when small, so that each stays visible.
    const int32_t margin = std::max(2, size / 8);
    const int32_t bars = size < 24 ? 4 : size < 48 ? 5 : 7;
    const int32_t left = margin;
    const int32_t right = size - margin;
    const int32_t top = margin;
    const int32_t bottom = size - margin;
    c.fillRoundRect(left, top, right, bottom, float(size) / 24.0f, kBlack);
    const int32_t inset = std::max(1, size / 32);
    const int32_t pitch = (right - left - 2 * inset + 1) / bars;
    const int32_t barWidth = std::max(1, pitch - std::max(1, pitch / 4));
    const int32_t plotHeight = bottom - top - 2 * inset;
    const int32_t first =
        left + inset + (right - left - 2 * inset - (pitch * bars - (pitch - barWidth))) / 2;
    for (int32_t b = 0; b < bars; ++b) {
        const float level = kProfile[size < 48 ? b + (b > 0 ? 1 : 0) : b];
        const int32_t height = std::max(1, int32_t(std::lround(level * float(plotHeight))));
        const int32_t x = first + b * pitch;
        for (int32_t row = 0; row < height; ++row) {
            const Rgb colour = Canvas::mix(kGreen, kGreenTop, float(row) / float(plotHeight));
            const int32_t y = bottom - inset - 1 - row;
            c.fillRect(x, y, x + barWidth, y + 1, colour);
        }
    }

    std::vector<uint32_t> pixels = c.pixels();
    const float radius = float(size) * 0.18f;
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const float alpha = tileCoverage(x, y, float(size), radius);
            uint32_t& p = pixels[size_t(y) * size_t(size) + size_t(x)];
            p = (p & 0x00FFFFFFu) | uint32_t(std::lround(alpha * 255.0f)) << 24;
        }
    }
    return pixels;
}
