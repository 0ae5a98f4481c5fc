// The signal both sides of the Windows comparison play through the plug-in:
// one tone at the centre of a transform bin in every fourth display band of
// the linear axis. A bin-centred tone is periodic in every 1024-sample frame,
// so it lights its bin and the two next to it and nothing else; each tone's
// loudness puts its band, after one decay step, in the middle of a bar
// segment, where no platform's rounding can move a segment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TestSignal {
public:
    struct Tone {
        int32_t band;     // display band on the linear axis
        int32_t bin;      // transform bin, two above the band's first
        float shownLevel; // the bar's level after one decay step
        int32_t litSegments;
        double amplitude; // in each channel
    };

    static constexpr double kSampleRate = 44100.0;
    // Three analysed frames (hop 4096), a whole number of 512-sample blocks.
    static constexpr size_t kFrames = 12288;
    static constexpr size_t kBlock = 512;

    static std::vector<Tone> tones();
    // Samples 0 .. frames - 1 of the sum of all tones (the same in both
    // channels).
    static std::vector<float> samples(size_t frames = kFrames);
    // Lit segments each band shows after one decay step: 0 where no tone is.
    static std::vector<int32_t> expectedSegments();
};
