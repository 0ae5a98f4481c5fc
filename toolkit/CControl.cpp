#include "toolkit/CControl.h"

#include "toolkit/CControlListener.h"
#include "toolkit/CFrame.h"
#include "toolkit/CMouseButtons.h"

CControl::CControl(const CRect& rect, CControlListener* controlListener, int32_t controlTag,
                   CBitmap* bitmap)
    : CView(rect), listener(controlListener), tag(controlTag) {
    setBackground(bitmap);
}

void CControl::bounceValue() {
    if (value > vmax) {
        value = vmax;
    } else if (value < vmin) {
        value = vmin;
    }
}

void CControl::beginEdit() {
    if (frame) {
        frame->beginEdit(tag);
    }
}

void CControl::endEdit() {
    if (frame) {
        frame->endEdit(tag);
    }
}

bool CControl::modifierClickTaken(CDrawContext* context, int32_t buttons) {
    return listener && (buttons & kModifierButtons) != 0 &&
           listener->controlModifierClicked(context, this, buttons) != 0;
}

void CControl::notifyListener(CDrawContext* context) {
    if (listener) {
        listener->valueChanged(context, this);
    }
}
