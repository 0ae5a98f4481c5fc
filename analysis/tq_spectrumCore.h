#pragma once

#include "analysis/MEftWinFft.h"
#include "analysis/SpectrumLayout.h"
#include "core/pluginCore.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// The plug-in's working core: passes the audio through, analyses one Hamming
// windowed 1024-point frame of every 4096 samples and keeps, per display band,
// the highest level (0..1, -30 dB to +30 dB) since the editor last lowered it.
//
// bandLevel and bandStartBin are shared with the editor's thread: every entry
// is read and written whole with relaxed atomic operations.
class tq_spectrumCore : public pluginCore, public MEftWinFft {
public:
    tq_spectrumCore();
    ~tq_spectrumCore() override;

    // Capture and analysis of one block, then the core's frame counting.
    void process(float** inputs, float** outputs, int32_t frames) override;
    // Re-runs the analyser's prepare, which restarts the capture.
    int32_t initialize() override;
    // Routed to process, as the host's replacing call is.
    void processAccumulating(float** inputs, float** outputs, int32_t sampleFrames) override;
    // Transforms the summed frame, writes the squared magnitudes of its 512
    // lower bins into spectrum and raises the band levels.
    void analyseFrame(float* frame, float* spectrum) override;

    // Level of one bin: 20 log10 |re + i im| mapped from -30..+30 dB to 0..1.
    static float binLevel(float re, float im);
    // The same from the bin's magnitude sqrt(re * re + im * im).
    static float magnitudeLevel(float magnitude);
    // The same from the bin's squared magnitude re * re + im * im.
    static float powerLevel(float power);
    // powers[k] = re[k] * re[k] + im[k] * im[k] for k < count; powers may
    // not overlap re or im.
    static void binPowers(const float* re, const float* im, float* powers, int32_t count);
    // Raises each band to the highest level of its bins, from the squared
    // magnitudes of the 512 bins: at most one logarithm per band where the C
    // library found at load time keeps the order of the squared magnitudes
    // (LevelOrder), none for a band that cannot rise; one per bin elsewhere.
    void raiseBandLevels(const float* powers);
    // The two ways: the level of each band's largest squared magnitude, and
    // the largest of its bins' levels. They agree wherever LevelOrder holds.
    void raiseBandLevelsByPeak(const float* powers);
    void raiseBandLevelsPerBin(const float* powers);

    std::atomic<float> bandLevel[SpectrumLayout::kBandCount];
    std::atomic<int32_t> bandStartBin[SpectrumLayout::kBandCount];

    static_assert(std::atomic<float>::is_always_lock_free, "band levels must be lock-free");
    static_assert(std::atomic<int32_t>::is_always_lock_free, "band start bins must be lock-free");

private:
    // The peak table: levels of runs of 1, 2, 4 and 8 bins (PeakStages.h),
    // each of the 512 bins and zeros that runs from the last bins reach into.
    static constexpr int32_t kPeakLevels = 4;
    static constexpr size_t kPeakStride = SpectrumLayout::kLevelBins + 8;
    // The bands rounded up to whole vectors of 8.
    static constexpr int32_t kPaddedBands = (SpectrumLayout::kBandCount + 7) / 8 * 8;

    // Reads the start bins and makes the reaches and peakTop from them.
    void makeReaches();
    // raiseBandLevelsByPeak, or with powers null from level 0 of the peak
    // table as the frame's powers left it.
    void raisePeakLevels(const float* powers);

    alignas(32) float peakTable[kPeakLevels * kPeakStride];
    // The start bins the reaches were made from.
    int32_t reachStart[SpectrumLayout::kBandCount];
    // Where band b's peak lies in the table: the larger of entries
    // reachFirst[b] and reachLast[b] (the bands of the padding read 0), and
    // for a band wider than 15 bins, of longMore[i] more entries after
    // reachFirst[b], 8 bins apart, where b = longBand[i], i < longCount.
    alignas(32) int32_t reachFirst[kPaddedBands];
    alignas(32) int32_t reachLast[kPaddedBands];
    int32_t longBand[SpectrumLayout::kBandCount];
    int32_t longMore[SpectrumLayout::kBandCount];
    int32_t longCount;
    // The highest level any reach reads.
    int32_t peakTop;
    // Per band, a squared magnitude whose level has been computed, and that
    // level: a frame whose peak is no larger cannot raise a band at or
    // above it, and needs no logarithm.
    float knownPower[SpectrumLayout::kBandCount];
    float knownLevel[SpectrumLayout::kBandCount];
    // LevelOrder's answer, taken when the core is built, off the audio thread.
    const bool peakLevels;
};
