#include "toolkit/CVuMeter.h"

#include <algorithm>

#include "toolkit/CBitmap.h"
#include "toolkit/COffscreenContext.h"

CVuMeter::CVuMeter(const CRect& rect, CBitmap* lit, CBitmap* unlit, int32_t leds,
                   int32_t meterStyle)
    : CControl(rect), onBitmap(lit), offBitmap(unlit), nbLed(std::max(leds, 1)), style(meterStyle),
      offscreen(std::make_unique<COffscreenContext>(rect.width(), rect.height())) {
    if (onBitmap) {
        onBitmap->remember();
    }
    if (offBitmap) {
        offBitmap->remember();
    }
}

CVuMeter::~CVuMeter() {
    if (onBitmap) {
        onBitmap->forget();
    }
    if (offBitmap) {
        offBitmap->forget();
    }
}

void CVuMeter::draw(CDrawContext* context) {
    const float clamped = std::min(std::max(value, 0.0f), 1.0f);
    const float shown = std::max(clamped, shownValue - decreaseValue);
    shownValue = shown;
    int32_t unlit = int32_t((1.0f - shown) * float(nbLed) + 0.5f);
    unlit = std::min(std::max(unlit, 0), nbLed);

    const int32_t w = size.width();
    const int32_t h = size.height();
    if (style == kHorizontal) {
        // Fills from the left: the unlit columns are at the right.
        const int32_t litColumns = w - unlit * w / nbLed;
        if (onBitmap) {
            onBitmap->draw(offscreen.get(), CRect(0, 0, litColumns, h));
        }
        if (offBitmap) {
            offBitmap->draw(offscreen.get(), CRect(litColumns, 0, w, h), CPoint(litColumns, 0));
        }
    } else {
        const int32_t unlitRows = unlit * h / nbLed;
        if (offBitmap) {
            offBitmap->draw(offscreen.get(), CRect(0, 0, w, unlitRows));
        }
        if (onBitmap) {
            onBitmap->draw(offscreen.get(), CRect(0, unlitRows, w, h), CPoint(0, unlitRows));
        }
    }
    offscreen->copyFrom(context, size);
    setDirty(false);
}

bool CVuMeter::paintsWholeRect() const {
    return offscreen->getPixels() && offscreen->getWidth() == size.width() &&
           offscreen->getHeight() == size.height();
}
