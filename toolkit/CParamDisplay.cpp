#include "toolkit/CParamDisplay.h"

#include <cstdio>

#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"

CParamDisplay::CParamDisplay(const CRect& rect, CBitmap* bitmap, int32_t displayStyle)
    : CControl(rect, nullptr, 0, bitmap), style(displayStyle) {}

void CParamDisplay::setStringConvert(CParamDisplayConvert convert, void* user) {
    stringConvert = convert;
    userData = user;
}

void CParamDisplay::draw(CDrawContext* context) {
    char text[kTextSize] = {};
    if (stringConvert) {
        stringConvert(value, text, userData);
    } else {
        std::snprintf(text, sizeof text, "%2.2f", double(value));
    }
    text[kTextSize - 1] = '\0';
    drawText(context, text);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text) {
    if (background) {
        if (transparent) {
            background->drawTransparent(context, size);
        } else {
            background->draw(context, size);
        }
    } else if (!transparent) {
        context->setFillColor(backColor);
        context->fillRect(size);
        if (!(style & kNoFrame)) {
            context->setFrameColor(frameColor);
            context->drawRect(size);
        }
    }

    if (text && *text) {
        const CDrawContext::State saved = context->saveState();
        context->clipTo(size);
        context->setFont(font);
        context->setFontColor(fontColor);
        CRect box = size;
        // Left text starts one pixel inside the edge, right text ends one inside.
        if (horiAlign == kLeftText) {
            box.left += 1;
        } else if (horiAlign == kRightText) {
            box.right -= 1;
        }
        context->drawString(text, box, horiAlign);
        context->restoreState(saved);
    }
    setDirty(false);
}
