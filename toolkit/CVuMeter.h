// A segmented level bar. It falls at most `decreaseValue` per drawing, and
// draws through its own off-screen buffer of its size, which it then copies
// to the window.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/CControl.h"

class CBitmap;
class COffscreenContext;

class CVuMeter : public CControl {
public:
    enum : int32_t { kVertical = 0, kHorizontal = 1 };

    // Keeps a reference to both bitmaps; `nbLed` segments.
    CVuMeter(const CRect& size, CBitmap* onBitmap, CBitmap* offBitmap, int32_t nbLed,
             int32_t style = kVertical);
    ~CVuMeter() override;

    void setDecreaseStepValue(float step) { decreaseValue = step; }
    float getDecreaseStepValue() const { return decreaseValue; }
    int32_t getNbLed() const { return nbLed; }
    // The level drawn last time; -1 before the first drawing.
    float getShownValue() const { return shownValue; }

    // Vertical: the value fills from the bottom. The shown level s is the
    // greater of the clamped value and the last shown level minus the step;
    // the top round((1 - s) * nbLed) segments come from the unlit image,
    // the rest from the lit one.
    void draw(CDrawContext* context) override;
    // The off-screen buffer, copied whole, covers the rectangle while the
    // two have the same size.
    bool paintsWholeRect() const override;

private:
    CBitmap* onBitmap;
    CBitmap* offBitmap;
    int32_t nbLed;
    int32_t style;
    float decreaseValue = 0.1f;
    float shownValue = -1.0f;
    std::unique_ptr<COffscreenContext> offscreen;
};
