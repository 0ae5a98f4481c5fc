// Reading the headless window as a user's eye would: where the light text
// lies, how bright the picture is, and where it departs from a bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/headless/HeadlessWindow.h"
#include "toolkit/CRect.h"

// The bounding box of the pixels whose red channel is above half. The
// editor's fields and boxes carry no red, so what passes is the white text
// and its smoothed edges.
struct Ink {
    CRect box; // empty when nothing passed
    int32_t pixels = 0;
    int32_t white = 0;      // pixels of full white
    uint32_t brightest = 0; // highest red channel seen

    // Free space left and right of the ink inside `area`.
    int32_t leftMargin(const CRect& area) const { return box.left - area.left; }
    int32_t rightMargin(const CRect& area) const { return area.right - box.right; }
};

Ink findInk(const HeadlessWindow& window, const CRect& area);

// Mean of (r + g + b) / 3 over the whole window.
double meanBrightness(const HeadlessWindow& window);

// Window pixels outside `except` that differ from bitmap resource `id`.
int32_t differencesFrom(const HeadlessWindow& window, int32_t id, const std::vector<CRect>& except);

// The rectangles of the editor's own views: the two menus, the nine labels
// and then the 97 bars.
std::vector<CRect> editorViewRects();
