// A drawing context over its own pixel buffer, copied to another context
// when done; a bar draws into one so that the window gets one finished block.
#pragma once

#include <vector>

#include "toolkit/CDrawContext.h"

class COffscreenContext : public CDrawContext {
public:
    COffscreenContext(int32_t width, int32_t height, const CColor& background = kBlackCColor);

    // Copies the destRect-sized block that starts at `srcOffset` to `destRect`
    // of `destination` (in its local coordinates).
    void copyFrom(CDrawContext* destination, const CRect& destRect,
                  const CPoint& srcOffset = CPoint()) const;

private:
    std::vector<uint32_t> buffer;
};
