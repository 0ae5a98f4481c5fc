#include "lv2/Lv2AnalysisCore.h"

void Lv2AnalysisCore::analyseFrame(float* frame, float* spectrum) {
    tq_spectrumCore::analyseFrame(frame, spectrum);
    // The core skips a frame it cannot transform; so does the gathering.
    const MEftFrmFft* transform = getFft();
    if (!frame || !spectrum || !transform || !transform->isReady() ||
        transform->getSize() != getFrameLength()) {
        return;
    }
    // A band's level is that of its largest power: the editor's bands,
    // raised by these peaks, reach what each frame would have raised them to.
    for (int32_t k = 0; k < SpectrumLayout::kLevelBins; ++k) {
        peak[k] = spectrum[k] > peak[k] ? spectrum[k] : peak[k];
    }
    if (pending < INT32_MAX) {
        ++pending;
    }
}

void Lv2AnalysisCore::takePeaks() {
    for (float& p : peak) {
        p = 0.0f;
    }
    pending = 0;
}
