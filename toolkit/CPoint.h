// A pixel position.
#pragma once

#include <cstdint>

struct CPoint {
    int32_t x = 0;
    int32_t y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int32_t px, int32_t py) : x(px), y(py) {}

    CPoint& offset(int32_t dx, int32_t dy) {
        x += dx;
        y += dy;
        return *this;
    }
    constexpr bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    constexpr bool operator!=(const CPoint& o) const { return !(*this == o); }
};
