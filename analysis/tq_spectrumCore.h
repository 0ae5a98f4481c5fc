#pragma once

#include "analysis/MEftWinFft.h"
#include "core/pluginCore.h"

#include <atomic>
#include <cstdint>

// The plug-in's working core: passes the audio through, analyses one Hamming
// windowed 1024-point frame of every 4096 samples and keeps, per display band,
// the highest level (0..1, -30 dB to +30 dB) since the editor last lowered it.
//
// bandLevel and bandStartBin are shared with the editor's thread: every entry
// is read and written whole with relaxed atomic operations.
class tq_spectrumCore : public pluginCore, public MEftWinFft {
public:
    static constexpr int32_t bandCount = 97;
    static constexpr int32_t levelBins = 512;

    tq_spectrumCore();
    ~tq_spectrumCore() override;

    // Capture and analysis of one block, then the core's frame counting.
    void process(float** inputs, float** outputs, int32_t frames) override;
    // Re-runs the analyser's prepare, which restarts the capture.
    int32_t initialize() override;
    // Routed to process, as the host's replacing call is.
    void processAccumulating(float** inputs, float** outputs, int32_t sampleFrames) override;
    // Transforms the summed frame, writes 512 bin levels into spectrum and
    // raises the band levels.
    void analyseFrame(float* frame, float* spectrum) override;

    // Level of one bin: 20 log10 |re + i im| mapped from -30..+30 dB to 0..1.
    static float binLevel(float re, float im);
    // The same from the bin's magnitude sqrt(re * re + im * im).
    static float magnitudeLevel(float magnitude);
    // levels[k] = binLevel(re[k], im[k]) for k < count; levels may not
    // overlap re or im.
    static void binLevels(const float* re, const float* im, float* levels, int32_t count);
    // Raises each band to the highest of its bins' levels; spectrum holds 512.
    void raiseBandLevels(const float* spectrum);

    std::atomic<float> bandLevel[bandCount];
    std::atomic<int32_t> bandStartBin[bandCount];

    static_assert(std::atomic<float>::is_always_lock_free, "band levels must be lock-free");
    static_assert(std::atomic<int32_t>::is_always_lock_free, "band start bins must be lock-free");
};
