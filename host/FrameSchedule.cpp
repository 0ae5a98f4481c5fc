#include "host/FrameSchedule.h"

bool FrameSchedule::advance(int64_t samples) {
    if (samples <= 0) {
        return false;
    }
    position += samples;
    bool frameDone = false;
    // More than samplesUntilNextFrame() would hide frames inside one block;
    // they are still counted so that later frames stay on the plug-in's grid.
    while (position >= nextFrameEnd) {
        nextFrameEnd += SpectrumLayout::kHopLength;
        ++completed;
        frameDone = true;
    }
    return frameDone;
}

int64_t FrameSchedule::frameCountFor(int64_t totalSamples) {
    if (totalSamples < SpectrumLayout::kFrameLength) {
        return 0;
    }
    return 1 + (totalSamples - SpectrumLayout::kFrameLength) / SpectrumLayout::kHopLength;
}
