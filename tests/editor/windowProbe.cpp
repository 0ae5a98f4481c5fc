#include "windowProbe.h"

#include <algorithm>

#include "analysis/SpectrumLayout.h"
#include "PluginRig.h"
#include "toolkit/CBitmap.h"

Ink findInk(const HeadlessWindow& window, const CRect& area) {
    Ink ink;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            const uint32_t p = window.pixel(x, y);
            const uint32_t red = (p >> 16) & 0xFF;
            ink.brightest = std::max(ink.brightest, red);
            if (red <= 0x80) {
                continue;
            }
            const CRect dot(x, y, x + 1, y + 1);
            ink.box = ink.pixels == 0 ? dot : ink.box.unite(dot);
            ++ink.pixels;
            ink.white += p == 0xFFFFFFFFu ? 1 : 0;
        }
    }
    return ink;
}

double meanBrightness(const HeadlessWindow& window) {
    double sum = 0.0;
    for (uint32_t p : window.pixels()) {
        sum += double((p >> 16) & 0xFF) + double((p >> 8) & 0xFF) + double(p & 0xFF);
    }
    return window.pixels().empty() ? 0.0 : sum / 3.0 / double(window.pixels().size());
}

int32_t differencesFrom(const HeadlessWindow& window, int32_t id,
                        const std::vector<CRect>& except) {
    const CBitmap bitmap(id);
    int32_t differences = 0;
    for (int32_t y = 0; y < bitmap.getHeight(); ++y) {
        for (int32_t x = 0; x < bitmap.getWidth(); ++x) {
            bool skipped = false;
            for (const CRect& r : except) {
                skipped = skipped || r.pointInside(CPoint(x, y));
            }
            if (!skipped && window.pixel(x, y) != bitmap.getPixel(x, y)) {
                ++differences;
            }
        }
    }
    return differences;
}

std::vector<CRect> editorViewRects() {
    std::vector<CRect> rects = {PluginRig::kViewMenu, PluginRig::kHelpMenu};
    for (int32_t k = 0; k < 9; ++k) {
        rects.push_back(PluginRig::labelRect(k));
    }
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        rects.push_back(PluginRig::barRect(i));
    }
    return rects;
}
