// The graphical editor base: registers itself with its plug-in, keeps the
// window rectangle, reports edits to the host and holds the process-wide
// knob mode.
#pragma once

#include <cstdint>

#include "vst/AEffEditor.h"

class AEffGUIEditor : public AEffEditor {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override = default;

    bool getRect(ERect** rect) override;
    bool setKnobMode(VstInt32 mode) override;

    virtual void setParameter(VstInt32, float) {}
    virtual void beginEdit(VstInt32 index);
    virtual void endEdit(VstInt32 index);

    // One knob mode for every editor in the process.
    static VstInt32 getKnobMode();

protected:
    ERect rect{};
    uint32_t lastTicks = 0;
    bool inIdleStuff = false;
};
