// A view with a value, a tag and a listener. User interaction is bracketed
// by beginEdit and endEdit, which reach the frame's owner with the tag.
#pragma once

#include <cstdint>

#include "toolkit/CView.h"

class CControlListener;

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
             CBitmap* background = nullptr);

    // Values are not clamped here; bounceValue() does that.
    virtual void setValue(float newValue) { value = newValue; }
    virtual float getValue() const { return value; }
    void setMin(float v) { vmin = v; }
    float getMin() const { return vmin; }
    void setMax(float v) { vmax = v; }
    float getMax() const { return vmax; }
    void setDefaultValue(float v) { defaultValue = v; }
    float getDefaultValue() const { return defaultValue; }
    void bounceValue();

    virtual void setTag(int32_t newTag) { tag = newTag; }
    int32_t getTag() const { return tag; }
    void setListener(CControlListener* newListener) { listener = newListener; }
    CControlListener* getListener() const { return listener; }

    virtual void beginEdit();
    virtual void endEdit();

protected:
    // A click with modifier keys goes to the listener first; true when the
    // listener took it.
    bool modifierClickTaken(CDrawContext* context, int32_t buttons);
    void notifyListener(CDrawContext* context);

    CControlListener* listener;
    int32_t tag;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float defaultValue = 0.5f;
};
