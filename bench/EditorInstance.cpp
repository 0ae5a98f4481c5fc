#include "bench/EditorInstance.h"

#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "shell/tq_spectrum.h"
#include "toolkit/CFrame.h"

#include <cstdio>
#include <cstdlib>

EditorInstance::EditorInstance() : plugin(512) {
    if (!open()) {
        std::fprintf(stderr, "effEditOpen failed in the headless window\n");
        std::abort();
    }
    // The first idle draws the whole window, as after any host's open.
    idle();
}

EditorInstance::~EditorInstance() {
    close();
}

tq_spectrumEditor* EditorInstance::editor() const {
    return static_cast<tq_spectrum*>(effect()->object)->getSpectrumEditor();
}

tq_spectrumCore* EditorInstance::core() const {
    return static_cast<tq_spectrum*>(effect()->object)->getCore();
}

bool EditorInstance::open() {
    return effect()->dispatcher(effect(), effEditOpen, 0, 0, window.handle(), 0.0f) == 1;
}

void EditorInstance::close() {
    effect()->dispatcher(effect(), effEditClose, 0, 0, nullptr, 0.0f);
}

void EditorInstance::idle() {
    effect()->dispatcher(effect(), effEditIdle, 0, 0, nullptr, 0.0f);
}

void EditorInstance::idleForDecayStep() {
    HeadlessSystem::advanceTicks(static_cast<uint32_t>(editor()->refreshInterval) + 1);
    idle();
}

void EditorInstance::idleForFullRedraw() {
    if (CFrame* frame = editor()->getFrame()) {
        frame->setDirty(true);
    }
    idle();
}
