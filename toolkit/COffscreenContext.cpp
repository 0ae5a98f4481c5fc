#include "toolkit/COffscreenContext.h"

COffscreenContext::COffscreenContext(int32_t width, int32_t height, const CColor& background)
    : CDrawContext(nullptr, nullptr, 0, 0),
      buffer(width > 0 && height > 0 ? size_t(width) * size_t(height) : 0, background.toArgb()) {
    attachPixels(buffer.data(), width, height);
}

void COffscreenContext::copyFrom(CDrawContext* destination, const CRect& destRect,
                                 const CPoint& srcOffset) const {
    if (destination) {
        destination->drawPixels(getPixels(), getWidth(), getHeight(), destRect, srcOffset, nullptr);
    }
}
