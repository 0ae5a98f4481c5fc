// A press held in place, as a user holds a button down: the left button
// goes down at (x, y), the pointer reports `moves` times `gapMs` apart
// without moving, the button comes up, and the window delivers it all.
#pragma once

#include <cstdint>

#include "platform/headless/HeadlessWindow.h"

inline void holdAndRelease(HeadlessWindow& window, int32_t x, int32_t y, int32_t moves,
                           uint32_t gapMs) {
    window.injectMouseDown(x, y);
    for (int32_t i = 0; i < moves; ++i) {
        window.injectMouseMove(x, y, gapMs);
    }
    window.injectMouseUp(x, y);
    window.dispatchEvents();
}
