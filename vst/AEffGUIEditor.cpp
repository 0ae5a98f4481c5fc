#include "vst/AEffGUIEditor.h"

#include "platform/platform.h"
#include "toolkit/CFrame.h"
#include "toolkit/CKnobMode.h"
#include "vst/AudioEffect.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner)
    : AEffEditor(owner), lastTicks(platform::tickCount()),
      oleInitialised(platform::oleInitialize() == platform::Status::ok) {
    if (effect) {
        effect->setEditor(this);
    }
}

AEffGUIEditor::~AEffGUIEditor() {
    // Still registered only when a derived constructor failed: the plug-in
    // must not delete it a second time.
    if (effect && effect->getEditor() == this) {
        effect->setEditor(nullptr);
    }
    if (oleInitialised) {
        platform::oleUninitialize();
    }
}

bool AEffGUIEditor::getRect(ERect** target) {
    if (!target) {
        return false;
    }
    *target = &rect;
    return true;
}

bool AEffGUIEditor::open(void* ptr) {
    systemWindow = ptr;
    return true;
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& key) {
    return frame && frame->onKeyDown(key.character, key.virt, key.modifier) != -1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& key) {
    return frame && frame->onKeyUp(key.character, key.virt, key.modifier) != -1;
}

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) {
        return false;
    }
    CPoint where;
    int32_t buttons = 0;
    frame->pollMouse(where, buttons);
    return frame->onWheel(where, distance);
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    CKnobMode::set(mode);
    return true;
}

void AEffGUIEditor::beginEdit(VstInt32 index) {
    if (speaksForEffect()) {
        effect->beginEdit(index);
    }
}

void AEffGUIEditor::endEdit(VstInt32 index) {
    if (speaksForEffect()) {
        effect->endEdit(index);
    }
}

bool AEffGUIEditor::speaksForEffect() const {
    // Not while the plug-in is deleting it: the host is inside effClose.
    return effect && effect->getEditor() == this;
}

void AEffGUIEditor::doIdleStuff() {
    uint32_t now = platform::tickCount();
    if (now < lastTicks) {
        platform::sleep(4);
        now += 4;
        if (lastTicks >= 50 && now < lastTicks - 50) {
            return;
        }
    }
    idle();
    lastTicks = now + 100;
    inIdleStuff = true;
    if (effect) {
        effect->masterIdle();
    }
    inIdleStuff = false;
}
