// What the frame needs of the editor that owns it: edits reported to the
// host with a control's tag, and idle time while a control tracks the mouse.
#pragma once

#include <cstdint>

class CFrameOwner {
public:
    virtual void beginEdit(int32_t tag) = 0;
    virtual void endEdit(int32_t tag) = 0;
    virtual void doIdleStuff() = 0;

protected:
    ~CFrameOwner() = default;
};
