#include "editor/tq_spectrumEditor.h"

tq_spectrumEditor::tq_spectrumEditor(AudioEffect* owner) : AEffGUIEditor(owner) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = kHeight;
    rect.right = kWidth;
}

bool tq_spectrumEditor::open(void* parent) {
    AEffGUIEditor::open(parent);
    return false;
}

void tq_spectrumEditor::close() {
    AEffGUIEditor::close();
}
