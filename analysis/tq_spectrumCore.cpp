#include "analysis/tq_spectrumCore.h"

#include "analysis/DenormalGuard.h"
#include "analysis/FftKernels.h"
#include "analysis/LevelOrder.h"

#include <cmath>

tq_spectrumCore::tq_spectrumCore()
    : peakTable{}, reachStart{}, reachFirst{}, reachLast{}, longBand{}, longMore{}, longCount(0),
      peakTop(0), knownPower{}, knownLevel{}, peakLevels(LevelOrder::followsPower()) {
    // Valid until the editor writes its own table: all silent, linear axis.
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        bandLevel[i].store(0.0f, std::memory_order_relaxed);
        bandStartBin[i].store(SpectrumLayout::linearStartBin(i), std::memory_order_relaxed);
        // No power is below it: nothing is known yet.
        knownPower[i] = -1.0f;
    }
    makeReaches();
    int32_t r = prepare();
    if (r == 0) {
        r = setFrameLength(SpectrumLayout::kFrameLength);
    }
    if (r == 0) {
        // Fixed once: a later sample-rate change keeps the 4096-sample hop.
        constexpr double kFramesPerHop =
            static_cast<double>(SpectrumLayout::kHopLength) / SpectrumLayout::kFrameLength;
        const double fraction = static_cast<double>(getSampleRate()) * kFramesPerHop / 44100.0;
        setHopFraction(static_cast<float>(fraction));
    }
}

tq_spectrumCore::~tq_spectrumCore() = default;

void tq_spectrumCore::process(float** inputs, float** outputs, int32_t frames) {
    processReplacing(inputs, outputs, frames);
    // A negative length would turn the clock back.
    advanceFrames(frames > 0 ? frames : 0);
}

int32_t tq_spectrumCore::initialize() {
    return prepare();
}

void tq_spectrumCore::processAccumulating(float** inputs, float** outputs, int32_t sampleFrames) {
    process(inputs, outputs, sampleFrames);
}

namespace {

// Magnitudes beyond these map to 0 and to 1 by a wide margin (0.009 dB,
// where float rounding moves a level by less than 1e-5 dB), so their levels
// need no logarithm.
constexpr float kQuietMagnitude = 0.03159f; // -30.009 dB
constexpr float kLoudMagnitude = 31.66f;    // +30.010 dB
static_assert(SpectrumLayout::kLowDb == -30.0f && SpectrumLayout::kHighDb == 30.0f,
              "the magnitudes above bracket this scale");
constexpr float kLevelPerDb = 1.0f / (SpectrumLayout::kHighDb - SpectrumLayout::kLowDb);
constexpr float kLevelAt0Db = -SpectrumLayout::kLowDb * kLevelPerDb;

// Calls visit(b, first, end) for every band b with its bins first..end-1,
// limited to 0..511 (first == end when the band lies above them).
template <class Visit>
[[gnu::always_inline]] inline void forEachBand(const int32_t* startBin, Visit visit) {
    constexpr int32_t kBins = SpectrumLayout::kLevelBins;
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        // The editor may be rewriting the table: never index outside 0..511.
        const int32_t s = startBin[b] < 0 ? 0 : startBin[b];
        // s + 1 without overflow: a start at the top of the range is past 511.
        int32_t end = s < kBins ? s + 1 : kBins;
        if (b < SpectrumLayout::kBandCount - 1) {
            end = startBin[b + 1] > end ? startBin[b + 1] : end;
        }
        end = end < kBins ? end : kBins;
        visit(b, s < kBins ? s : kBins, end);
    }
}

// Floor of log2(w) for w >= 1.
inline int32_t log2Floor(int32_t w) {
    return 31 - __builtin_clz(static_cast<uint32_t>(w));
}

} // namespace

float tq_spectrumCore::binLevel(float re, float im) {
    return powerLevel(re * re + im * im);
}

float tq_spectrumCore::magnitudeLevel(float magnitude) {
    if (magnitude >= kQuietMagnitude && magnitude <= kLoudMagnitude) {
        const float decibels = 20.0f * std::log10(magnitude);
        const float level = decibels * kLevelPerDb + kLevelAt0Db;
        return level > 1.0f ? 1.0f : (level >= 0.0f ? level : 0.0f);
    }
    // 1 above the scale, 0 below it and for NaN (from a NaN sample).
    return magnitude > kLoudMagnitude ? 1.0f : 0.0f;
}

float tq_spectrumCore::powerLevel(float power) {
    return magnitudeLevel(std::sqrt(power));
}

void tq_spectrumCore::binPowers(const float* re, const float* im, float* powers, int32_t count) {
    fftKernels::powersPortable(re, im, powers, nullptr, count > 0 ? static_cast<size_t>(count) : 0);
}

void tq_spectrumCore::analyseFrame(float* frame, float* spectrum) {
    MEftFrmFft* transformer = fft();
    // Without a complete transform (a failed allocation) the frame is skipped.
    if (frame == nullptr || spectrum == nullptr || transformer == nullptr ||
        !transformer->isReady() || transformer->getSize() != getFrameLength()) {
        return;
    }
    // Quiet tails sink into denormals, which some processors compute very
    // slowly; flushed, they cost what silence costs and show the same 0.
    const DenormalGuard flushDenormals;
    transformer->transformFrame(frame, spectrum);
    const size_t bins = static_cast<size_t>(getFrameLength() / 2);
    // The band peaks' table starts from the powers as they are made.
    float* level0 = peakLevels ? peakTable : nullptr;
    if (transformer->usesWideVectors()) {
        fftKernels::powersWide(transformer->getRe(), transformer->getIm(), spectrum, level0, bins);
    } else {
        fftKernels::powersPortable(transformer->getRe(), transformer->getIm(), spectrum, level0,
                                   bins);
    }
    if (peakLevels) {
        raisePeakLevels(nullptr);
    } else {
        raiseBandLevelsPerBin(spectrum);
    }
}

void tq_spectrumCore::raiseBandLevels(const float* powers) {
    if (peakLevels) {
        raiseBandLevelsByPeak(powers);
    } else {
        raiseBandLevelsPerBin(powers);
    }
}

void tq_spectrumCore::makeReaches() {
    constexpr int32_t kWidest = 1 << (kPeakLevels - 1);
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        reachStart[b] = bandStartBin[b].load(std::memory_order_relaxed);
    }
    peakTop = 0;
    longCount = 0;
    for (int32_t b = SpectrumLayout::kBandCount; b < kPaddedBands; ++b) {
        reachFirst[b] = SpectrumLayout::kLevelBins;
        reachLast[b] = SpectrumLayout::kLevelBins;
    }
    forEachBand(reachStart, [this](int32_t b, int32_t first, int32_t end) {
        // Two runs of 2^level bins from either end cover a band of fewer
        // than twice as many; wider bands take runs of kWidest one after
        // another. An empty band (at 512) reads the zeros after the bins.
        const int32_t width = end - first;
        const int32_t level = width < 2 * kWidest ? log2Floor(width | 1) : kPeakLevels - 1;
        const int32_t run = 1 << level;
        const int32_t base = level * static_cast<int32_t>(kPeakStride);
        const int32_t last = end - run > first ? end - run : first;
        reachFirst[b] = base + first;
        reachLast[b] = base + last;
        if (width >= 2 * kWidest) {
            longBand[longCount] = b;
            longMore[longCount] = (width - kWidest - 1) / kWidest;
            ++longCount;
        }
        peakTop = level > peakTop ? level : peakTop;
    });
}

void tq_spectrumCore::raiseBandLevelsByPeak(const float* powers) {
    raisePeakLevels(powers);
}

void tq_spectrumCore::raisePeakLevels(const float* powers) {
    // The runs to read change only with the start bins: remade when one of
    // them differs from those they were made from.
    bool moved = false;
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        moved |= bandStartBin[b].load(std::memory_order_relaxed) != reachStart[b];
    }
    if (moved) {
        makeReaches();
    }
    const size_t bins = SpectrumLayout::kLevelBins;
    const MEftFrmFft* transformer = getFft();
    const bool wide = transformer != nullptr && transformer->usesWideVectors();
    if (wide) {
        fftKernels::runLevelsWide(powers, peakTable, kPeakStride, bins, peakTop);
    } else {
        fftKernels::runLevelsPortable(powers, peakTable, kPeakStride, bins, peakTop);
    }
    // All peaks first, then all levels: the bands' chains of maximum, square
    // root and logarithm are independent, and apart they overlap better.
    alignas(32) float peak[kPaddedBands];
    if (wide) {
        fftKernels::bandPeaksWide(peakTable, reachFirst, reachLast, peak, kPaddedBands);
    } else {
        fftKernels::bandPeaksPortable(peakTable, reachFirst, reachLast, peak, kPaddedBands);
    }
    for (int32_t i = 0; i < longCount; ++i) {
        const int32_t b = longBand[i];
        for (int32_t j = 1; j <= longMore[i]; ++j) {
            const float q = peakTable[reachFirst[b] + j * (1 << (kPeakLevels - 1))];
            peak[b] = q > peak[b] ? q : peak[b];
        }
    }
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        // The level keeps the order of the powers: one no larger than a
        // power whose level is known cannot raise a band already that high.
        const float current = bandLevel[b].load(std::memory_order_relaxed);
        if (peak[b] <= knownPower[b] && current >= knownLevel[b]) {
            continue;
        }
        const float v = powerLevel(peak[b]);
        if (v > current) {
            bandLevel[b].store(v, std::memory_order_relaxed);
        }
        // The larger of two known powers rules out more.
        if (v > current || peak[b] > knownPower[b]) {
            knownPower[b] = peak[b];
            knownLevel[b] = v;
        }
    }
}

void tq_spectrumCore::raiseBandLevelsPerBin(const float* powers) {
    int32_t startBin[SpectrumLayout::kBandCount];
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        startBin[b] = bandStartBin[b].load(std::memory_order_relaxed);
    }
    forEachBand(startBin, [this, powers](int32_t b, int32_t first, int32_t end) {
        // Levels are never below 0: a band above bin 511 has level 0.
        float v = 0.0f;
        for (int32_t j = first; j < end; ++j) {
            const float level = powerLevel(powers[j]);
            v = level > v ? level : v;
        }
        if (v > bandLevel[b].load(std::memory_order_relaxed)) {
            bandLevel[b].store(v, std::memory_order_relaxed);
        }
    });
}
