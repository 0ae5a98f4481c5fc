// A push button: value 1 while pressed, 0 otherwise. Its bitmap holds two
// images of equal height stacked, released on top, pressed below.
#pragma once

#include <cstdint>

#include "toolkit/CControl.h"

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag,
                int32_t heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());

    void draw(CDrawContext* context) override;
    // On a left click: begin edit, then, while the button stays down, value
    // 1 with the pointer inside and 0 outside, the listener told of every
    // change and the owner's idle run on every pass; at the release value 0,
    // the listener told once more, end edit.
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override;

    int32_t getHeightOfOneImage() const { return heightOfOneImage; }

private:
    void changeTo(CDrawContext* context, float next);

    int32_t heightOfOneImage;
    CPoint offset;
};
