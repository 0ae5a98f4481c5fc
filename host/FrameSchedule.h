// Where the plug-in completes its analysed frames, counted in samples from
// the first one it was given: the first frame once 1024 samples have arrived,
// then one every 4096 (1024, 5120, 9216, ...). The host cuts its blocks so that
// one ends exactly at each of these points and reads the band levels there.
#pragma once

#include <cstdint>

#include "analysis/SpectrumLayout.h"

class FrameSchedule {
public:
    // Samples that may still be fed before the next frame completes (at least 1).
    int64_t samplesUntilNextFrame() const { return nextFrameEnd - position; }

    // Records samples fed to the plug-in. True when a frame completed within
    // them; with at most samplesUntilNextFrame() samples, with the last one.
    bool advance(int64_t samples);

    int64_t samplesFed() const { return position; }
    int64_t framesCompleted() const { return completed; }

    // Frames completed by a stream of the given length.
    static int64_t frameCountFor(int64_t totalSamples);

private:
    int64_t position = 0;
    int64_t nextFrameEnd = SpectrumLayout::kFrameLength;
    int64_t completed = 0;
};
