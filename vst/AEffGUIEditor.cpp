#include "vst/AEffGUIEditor.h"

#include <atomic>

#include "vst/AudioEffect.h"

namespace {

std::atomic<VstInt32> knobMode{0};

} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {
    if (effect) {
        effect->setEditor(this);
    }
}

bool AEffGUIEditor::getRect(ERect** target) {
    if (!target) {
        return false;
    }
    *target = &rect;
    return true;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode.store(mode, std::memory_order_relaxed);
    return true;
}

VstInt32 AEffGUIEditor::getKnobMode() {
    return knobMode.load(std::memory_order_relaxed);
}

void AEffGUIEditor::beginEdit(VstInt32 index) {
    if (effect) {
        effect->beginEdit(index);
    }
}

void AEffGUIEditor::endEdit(VstInt32 index) {
    if (effect) {
        effect->endEdit(index);
    }
}
