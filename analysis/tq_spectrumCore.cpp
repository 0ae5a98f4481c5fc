#include "analysis/tq_spectrumCore.h"

#include "analysis/DenormalGuard.h"
#include "analysis/LevelOrder.h"

#include <cmath>

tq_spectrumCore::tq_spectrumCore() : peakLevels(LevelOrder::followsPower()) {
    // Valid until the editor writes its own table: all silent, linear axis.
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        bandLevel[i].store(0.0f, std::memory_order_relaxed);
        bandStartBin[i].store(SpectrumLayout::linearStartBin(i), std::memory_order_relaxed);
    }
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

// Calls visit(b, first, end) for every band b with its bins first..end-1,
// limited to 0..511 (first == end when the band lies above them).
template <class Visit>
[[gnu::always_inline]] inline void forEachBand(const std::atomic<int32_t>* startBin, Visit visit) {
    constexpr int32_t kBins = SpectrumLayout::kLevelBins;
    // Each start bin is read once: as band b + 1's start and as band b's end.
    int32_t next = startBin[0].load(std::memory_order_relaxed);
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        // The editor may be rewriting the table: never index outside 0..511.
        const int32_t s = next < 0 ? 0 : next;
        // s + 1 without overflow: a start at the top of the range is past 511.
        int32_t end = s < kBins ? s + 1 : kBins;
        if (b < SpectrumLayout::kBandCount - 1) {
            next = startBin[b + 1].load(std::memory_order_relaxed);
            end = next > end ? next : end;
        }
        end = end < kBins ? end : kBins;
        visit(b, s < kBins ? s : kBins, end);
    }
}

// The largest of powers[first..end-1] and 0; a NaN never wins, as its
// level, 0, is that of a power of 0. Four running maxima keep the
// comparisons independent of each other; their order does not matter.
inline float peakOf(const float* powers, int32_t first, int32_t end) {
    float p0 = 0.0f;
    float p1 = 0.0f;
    float p2 = 0.0f;
    float p3 = 0.0f;
    int32_t j = first;
    for (; j + 4 <= end; j += 4) {
        p0 = powers[j] > p0 ? powers[j] : p0;
        p1 = powers[j + 1] > p1 ? powers[j + 1] : p1;
        p2 = powers[j + 2] > p2 ? powers[j + 2] : p2;
        p3 = powers[j + 3] > p3 ? powers[j + 3] : p3;
    }
    for (; j < end; ++j) {
        p0 = powers[j] > p0 ? powers[j] : p0;
    }
    p0 = p1 > p0 ? p1 : p0;
    p2 = p3 > p2 ? p3 : p2;
    return p2 > p0 ? p2 : p0;
}

} // namespace

float tq_spectrumCore::binLevel(float re, float im) {
    return powerLevel(re * re + im * im);
}

float tq_spectrumCore::magnitudeLevel(float magnitude) {
    if (magnitude >= kQuietMagnitude && magnitude <= kLoudMagnitude) {
        const float decibels = 20.0f * std::log10(magnitude);
        const float level = decibels * 0.016666668f + 0.5f;
        return level > 1.0f ? 1.0f : (level >= 0.0f ? level : 0.0f);
    }
    // 1 above the scale, 0 below it and for NaN (from a NaN sample).
    return magnitude > kLoudMagnitude ? 1.0f : 0.0f;
}

float tq_spectrumCore::powerLevel(float power) {
    return magnitudeLevel(std::sqrt(power));
}

void tq_spectrumCore::binPowers(const float* re, const float* im, float* powers, int32_t count) {
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    const float* __restrict xr = re;
    const float* __restrict xi = im;
    float* __restrict out = powers;
    for (size_t k = 0; k < n; ++k) {
        out[k] = xr[k] * xr[k] + xi[k] * xi[k];
    }
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
    binPowers(transformer->getRe(), transformer->getIm(), spectrum, getFrameLength() / 2);
    raiseBandLevels(spectrum);
}

void tq_spectrumCore::raiseBandLevels(const float* powers) {
    if (peakLevels) {
        raiseBandLevelsByPeak(powers);
    } else {
        raiseBandLevelsPerBin(powers);
    }
}

void tq_spectrumCore::raiseBandLevelsByPeak(const float* powers) {
    // All peaks first, then all levels: the bands' chains of maximum, square
    // root and logarithm are independent, and apart they overlap better.
    float peak[SpectrumLayout::kBandCount];
    forEachBand(bandStartBin, [&peak, powers](int32_t b, int32_t first, int32_t end) {
        peak[b] = peakOf(powers, first, end);
    });
    // powerLevel, with the square roots in one loop that vectorises.
    float magnitude[SpectrumLayout::kBandCount];
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        magnitude[b] = std::sqrt(peak[b]);
    }
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        const float v = magnitudeLevel(magnitude[b]);
        if (v > bandLevel[b].load(std::memory_order_relaxed)) {
            bandLevel[b].store(v, std::memory_order_relaxed);
        }
    }
}

void tq_spectrumCore::raiseBandLevelsPerBin(const float* powers) {
    forEachBand(bandStartBin, [this, powers](int32_t b, int32_t first, int32_t end) {
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
