// The graphical editor base: registers itself with its plug-in, keeps the
// window rectangle and the toolkit's frame, passes keys and wheel to the
// frame, reports edits to the host and keeps the display moving while a
// control tracks the mouse.
#pragma once

#include <cstdint>

#include "toolkit/CFrameOwner.h"
#include "vst/AEffEditor.h"

class CFrame;

class AEffGUIEditor : public AEffEditor, public CFrameOwner {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    // Undoes the OLE initialisation of the constructor, and the
    // registration when the derived editor's construction failed.
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    bool open(void* ptr) override;
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 mode) override;

    virtual void setParameter(VstInt32, float) {}
    void beginEdit(VstInt32 index) override;
    void endEdit(VstInt32 index) override;
    // Runs idle at most every 50 to 100 ms, then lets the host idle too.
    void doIdleStuff() override;

    CFrame* getFrame() const { return frame; }

protected:
    ERect rect{};
    uint32_t lastTicks;
    bool inIdleStuff = false;
    CFrame* frame = nullptr;

private:
    bool speaksForEffect() const;

    bool oleInitialised;
};
