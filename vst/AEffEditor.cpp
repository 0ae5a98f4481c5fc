#include "vst/AEffEditor.h"

AEffEditor::AEffEditor(AudioEffect* owner) : effect(owner) {}

bool AEffEditor::getRect(ERect** rect) {
    if (rect) {
        *rect = nullptr;
    }
    return false;
}

bool AEffEditor::open(void* ptr) {
    systemWindow = ptr;
    return false;
}
