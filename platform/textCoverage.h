// What every layer's text drawing shares, so that the same coverage gives the
// same pixels whichever rasteriser made it: blending a glyph's coverage over
// the surface, and centring with the remainder rounded down.
#pragma once

#include <cstdint>

namespace textCoverage {

// `colour` over `dst` at `alpha` of 255, rounded to nearest; opaque result.
inline uint32_t blendPixel(uint32_t dst, uint32_t colour, uint32_t alpha) {
    auto channel = [alpha](uint32_t d, uint32_t s) {
        return (s * alpha + d * (255 - alpha) + 127) / 255;
    };
    const uint32_t r = channel(dst >> 16 & 0xFF, colour >> 16 & 0xFF);
    const uint32_t g = channel(dst >> 8 & 0xFF, colour >> 8 & 0xFF);
    const uint32_t b = channel(dst & 0xFF, colour & 0xFF);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// v / 2 rounded towards minus infinity, for centring in odd spaces.
inline int32_t floorHalf(int32_t v) {
    return v >= 0 ? v / 2 : -((1 - v) / 2);
}

} // namespace textCoverage
