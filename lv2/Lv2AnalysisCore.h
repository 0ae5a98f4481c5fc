// The spectrum core as the LV2 plug-in runs it: the analysis is the VST
// plug-in's own, and each analysed frame's bin powers are also kept, the
// largest per bin, until the plug-in has sent them to its editor.
#pragma once

#include <cstdint>

#include "analysis/tq_spectrumCore.h"

class Lv2AnalysisCore : public tq_spectrumCore {
public:
    void analyseFrame(float* frame, float* spectrum) override;

    // Frames analysed since the last takePeaks.
    int32_t pendingFrames() const { return pending; }
    // Per bin, the largest power of those frames (0 for none, NaN counted as 0).
    const float* peaks() const { return peak; }
    // Starts a new gathering.
    void takePeaks();

private:
    float peak[SpectrumLayout::kLevelBins] = {};
    int32_t pending = 0;
};
