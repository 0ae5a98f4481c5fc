// A rectangle of pixels (left, top, right, bottom); right and bottom are
// exclusive, so width = right - left.
#pragma once

#include <algorithm>
#include <cstdint>

#include "toolkit/CPoint.h"

struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b)
        : left(l), top(t), right(r), bottom(b) {}

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool pointInside(const CPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    CRect& offset(int32_t dx, int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    CRect intersection(const CRect& o) const {
        CRect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom));
        return r.isEmpty() ? CRect() : r;
    }
    // Same answer as !intersection(o).isEmpty(), without building the rectangle.
    constexpr bool intersects(const CRect& o) const {
        return (std::max(left, o.left) < std::min(right, o.right)) &&
               (std::max(top, o.top) < std::min(bottom, o.bottom));
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    CRect unite(const CRect& o) const {
        if (isEmpty()) {
            return o;
        }
        if (o.isEmpty()) {
            return *this;
        }
        return CRect(std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                     std::max(bottom, o.bottom));
    }
    constexpr bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    constexpr bool operator!=(const CRect& o) const { return !(*this == o); }
};
