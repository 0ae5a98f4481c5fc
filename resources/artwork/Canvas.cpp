#include "resources/artwork/Canvas.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t pack(Rgb c) {
    return 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

uint8_t channel(float v) {
    return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

Canvas::Canvas(int32_t width, int32_t height, Rgb fill)
    : w(width), h(height), data(size_t(width) * size_t(height), pack(fill)) {}

Rgb Canvas::at(int32_t x, int32_t y) const {
    const uint32_t p = data[size_t(y) * size_t(w) + size_t(x)];
    return Rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
}

void Canvas::set(int32_t x, int32_t y, Rgb colour) {
    if (x >= 0 && y >= 0 && x < w && y < h) {
        data[size_t(y) * size_t(w) + size_t(x)] = pack(colour);
    }
}

Rgb Canvas::mix(Rgb a, Rgb b, float t) {
    return Rgb{channel(a.r + (b.r - a.r) * t), channel(a.g + (b.g - a.g) * t),
               channel(a.b + (b.b - a.b) * t)};
}

void Canvas::blend(int32_t x, int32_t y, Rgb colour, float alpha) {
    if (x < 0 || y < 0 || x >= w || y >= h || alpha <= 0.0f) {
        return;
    }
    set(x, y, mix(at(x, y), colour, std::min(alpha, 1.0f)));
}

void Canvas::fillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, Rgb colour) {
    for (int32_t y = std::max(top, 0); y < std::min(bottom, h); ++y) {
        for (int32_t x = std::max(left, 0); x < std::min(right, w); ++x) {
            set(x, y, colour);
        }
    }
}

float Canvas::roundRectCoverage(int32_t x, int32_t y, int32_t left, int32_t top, int32_t right,
                                int32_t bottom, float radius) {
    // Only the corner squares need sampling; 4 x 4 samples give smooth edges.
    const bool nearX = x < left + radius || x >= right - radius;
    const bool nearY = y < top + radius || y >= bottom - radius;
    if (!nearX || !nearY) {
        return 1.0f;
    }
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
            const float px = float(x) + (float(sx) + 0.5f) / 4.0f;
            const float py = float(y) + (float(sy) + 0.5f) / 4.0f;
            const float cx = std::clamp(px, float(left) + radius, float(right) - radius);
            const float cy = std::clamp(py, float(top) + radius, float(bottom) - radius);
            const float dx = px - cx;
            const float dy = py - cy;
            if (dx * dx + dy * dy <= radius * radius) {
                ++inside;
            }
        }
    }
    return float(inside) / 16.0f;
}

void Canvas::fillRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, float radius,
                           Rgb colour) {
    fillRoundRectGradient(left, top, right, bottom, radius, colour, colour);
}

void Canvas::fillRoundRectGradient(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                   float radius, Rgb top_colour, Rgb bottom_colour) {
    const float span = float(std::max(bottom - top - 1, 1));
    for (int32_t y = top; y < bottom; ++y) {
        const Rgb c = mix(top_colour, bottom_colour, float(y - top) / span);
        for (int32_t x = left; x < right; ++x) {
            blend(x, y, c, roundRectCoverage(x, y, left, top, right, bottom, radius));
        }
    }
}

void Canvas::blendMask(const Mask& mask, int32_t x, int32_t y, Rgb colour) {
    for (int32_t my = 0; my < mask.height; ++my) {
        for (int32_t mx = 0; mx < mask.width; ++mx) {
            const uint8_t a = mask.alpha[size_t(my) * size_t(mask.width) + size_t(mx)];
            blend(x + mx, y + my, colour, float(a) / 255.0f);
        }
    }
}

void Canvas::scale(float factor) {
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const Rgb c = at(x, y);
            set(x, y, Rgb{channel(c.r * factor), channel(c.g * factor), channel(c.b * factor)});
        }
    }
}

void Canvas::avoidKeyColour() {
    for (uint32_t& p : data) {
        if (p == 0xFFFFFFFFu) {
            p = 0xFFFEFEFEu;
        }
    }
}
