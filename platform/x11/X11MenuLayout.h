// Geometry of the X11 popup menu: a bordered column of entries, each with a
// check-mark column at its left; separators are thin rows with a line.
// Everything in pixels of the popup window; the constants are 1x lengths,
// the functions give them at a scale (percent).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

class X11MenuLayout {
public:
    static constexpr int32_t kFont = 0; // 12 pixels
    static constexpr int32_t kBorder = 1;
    static constexpr int32_t kPadding = 3; // above the first and below the last entry
    static constexpr int32_t kEntryHeight = 18;
    static constexpr int32_t kSeparatorHeight = 7;
    static constexpr int32_t kCheckColumn = 20; // left of the text
    static constexpr int32_t kTextMargin = 20;  // right of the text
    static constexpr int32_t kMinimumWidth = 80;

    static constexpr uint32_t kFace = 0xFFF0F0F0u;
    static constexpr uint32_t kFrame = 0xFF808080u;
    static constexpr uint32_t kText = 0xFF000000u;
    static constexpr uint32_t kHighlight = 0xFF3399FFu;
    static constexpr uint32_t kHighlightText = 0xFFFFFFFFu;
    static constexpr uint32_t kSeparatorLine = 0xFFA0A0A0u;

    static int32_t px(int32_t length, int32_t scale) {
        return platform::scaledLength(length, scale);
    }

    static int32_t entryHeight(const platform::MenuItem& item, int32_t scale = 100) {
        return px(item.separator ? kSeparatorHeight : kEntryHeight, scale);
    }

    // Top row of entry `index`; with index == count, the end of the last.
    static int32_t entryTop(const platform::MenuItem* items, size_t index, int32_t scale = 100) {
        int32_t top = px(kBorder, scale) + px(kPadding, scale);
        for (size_t i = 0; i < index; ++i) {
            top += entryHeight(items[i], scale);
        }
        return top;
    }

    static int32_t height(const platform::MenuItem* items, size_t count, int32_t scale = 100) {
        return entryTop(items, count, scale) + px(kPadding, scale) + px(kBorder, scale);
    }

    // For the widest entry text, measured at the scale.
    static int32_t width(int32_t widestText, int32_t scale = 100) {
        return std::max(px(kMinimumWidth, scale), 2 * px(kBorder, scale) + px(kCheckColumn, scale) +
                                                      widestText + px(kTextMargin, scale));
    }

    // The entry under (x, y), separators included; -1 outside every entry.
    static int32_t entryAt(const platform::MenuItem* items, size_t count, int32_t menuWidth,
                           int32_t x, int32_t y, int32_t scale = 100) {
        const int32_t border = px(kBorder, scale);
        if (x < border || x >= menuWidth - border) {
            return -1;
        }
        int32_t top = border + px(kPadding, scale);
        for (size_t i = 0; i < count; ++i) {
            const int32_t bottom = top + entryHeight(items[i], scale);
            if (y >= top && y < bottom) {
                return int32_t(i);
            }
            top = bottom;
        }
        return -1;
    }
};
