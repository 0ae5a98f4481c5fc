// Receives the value changes of controls.
#pragma once

#include <cstdint>

class CControl;
class CDrawContext;

class CControlListener {
public:
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // A click with modifier keys; a non-zero answer means the listener took
    // it and the control does nothing more.
    virtual int32_t controlModifierClicked(CDrawContext*, CControl*, int32_t) { return 0; }

protected:
    ~CControlListener() = default;
};
