#include "toolkit/CKickButton.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"
#include "toolkit/CMouseButtons.h"

CKickButton::CKickButton(const CRect& rect, CControlListener* buttonListener, int32_t buttonTag,
                         int32_t imageHeight, CBitmap* bitmap, const CPoint& imageOffset)
    : CControl(rect, buttonListener, buttonTag, bitmap), heightOfOneImage(imageHeight),
      offset(imageOffset) {}

void CKickButton::draw(CDrawContext* context) {
    if (background) {
        const CPoint from(offset.x, offset.y + (value > 0.5f ? heightOfOneImage : 0));
        if (transparent) {
            background->drawTransparent(context, size, from);
        } else {
            background->draw(context, size, from);
        }
    }
    setDirty(false);
}

void CKickButton::changeTo(CDrawContext* context, float next) {
    value = next;
    setDirty(true);
    notifyListener(context);
}

void CKickButton::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    if (!(buttons & kLButton) || modifierClickTaken(context, buttons)) {
        return;
    }
    // Held for the whole loop: the owner's idle may take us out of the frame.
    CFrame* owner = frame;
    beginEdit();

    CPoint where;
    int32_t now = 0;
    context->pollMouse(where, now);
    if (now & kLButton) {
        do {
            const float next = size.pointInside(where) ? 1.0f : 0.0f;
            if (next != value) {
                changeTo(context, next);
            }
            if (owner) {
                owner->doIdleStuff();
            }
            context->pollMouse(where, now);
        } while (now & kLButton);
    } else {
        // Released before tracking began: one toggle still reaches the listener.
        changeTo(context, value > 0.5f ? 0.0f : 1.0f);
    }

    changeTo(context, 0.0f);
    endEdit();
}
