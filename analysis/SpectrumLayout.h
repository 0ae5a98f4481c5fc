#pragma once

#include <cstdint>

// What the spectrum core analyses and how it shows it: one frame of
// kFrameLength samples out of every kHopLength, whose lower kLevelBins
// transform bins carry levels, gathered into kBandCount display bands.
// Light enough for the editor, the command-line host and the benchmarks to
// take the same numbers from here.
struct SpectrumLayout {
    static constexpr int32_t kFrameLength = 1024;
    static constexpr int32_t kHopLength = 4096;
    static constexpr int32_t kLevelBins = kFrameLength / 2;
    static constexpr int32_t kBandCount = 97;

    // Levels 0..1 span kLowDb..kHighDb of a bin's magnitude in the unscaled
    // transform.
    static constexpr float kLowDb = -30.0f;
    static constexpr float kHighDb = 30.0f;

    // First bin of a band on the linear axis: bands 5 1/3 bins wide.
    static constexpr int32_t linearStartBin(int32_t band) { return (16 * band) / 3; }
};
