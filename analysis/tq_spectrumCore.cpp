#include "analysis/tq_spectrumCore.h"

#include "analysis/DenormalGuard.h"

#include <cmath>

tq_spectrumCore::tq_spectrumCore() {
    // Valid until the editor writes its own table: all silent, linear axis.
    for (int32_t i = 0; i < bandCount; ++i) {
        bandLevel[i].store(0.0f, std::memory_order_relaxed);
        bandStartBin[i].store((16 * i) / 3, std::memory_order_relaxed);
    }
    int32_t r = prepare();
    if (r == 0) {
        r = setFrameLength(1024);
    }
    if (r == 0) {
        // Fixed once: a later sample-rate change keeps the 4096-sample hop.
        const double fraction = static_cast<double>(getSampleRate()) * 4.0 / 44100.0;
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
constexpr float quietMagnitude = 0.03159f; // -30.009 dB
constexpr float loudMagnitude = 31.66f;    // +30.010 dB

inline bool needsLogarithm(float magnitude) {
    return magnitude >= quietMagnitude && magnitude <= loudMagnitude;
}

// The level of a magnitude that needsLogarithm, from its log10.
inline float levelOfLog(float logMagnitude) {
    const float decibels = 20.0f * logMagnitude;
    const float level = decibels * 0.016666668f + 0.5f;
    return level > 1.0f ? 1.0f : (level >= 0.0f ? level : 0.0f);
}

// The level of any other magnitude: 1 above the scale, 0 below it and for
// NaN (from a NaN sample).
inline float levelOutside(float magnitude) {
    return magnitude > loudMagnitude ? 1.0f : 0.0f;
}

inline float levelOf(float magnitude) {
    return needsLogarithm(magnitude) ? levelOfLog(std::log10(magnitude)) : levelOutside(magnitude);
}

} // namespace

float tq_spectrumCore::binLevel(float re, float im) {
    return magnitudeLevel(std::sqrt(re * re + im * im));
}

float tq_spectrumCore::magnitudeLevel(float magnitude) {
    return needsLogarithm(magnitude) ? levelOfLog(std::log10(magnitude)) : levelOutside(magnitude);
}

void tq_spectrumCore::binLevels(const float* re, const float* im, float* levels, int32_t count) {
    // The magnitudes in a loop that vectorises, then the levels in place,
    // with a logarithm only where the level needs one.
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    const float* __restrict xr = re;
    const float* __restrict xi = im;
    float* __restrict out = levels;
    for (size_t k = 0; k < n; ++k) {
        out[k] = std::sqrt(xr[k] * xr[k] + xi[k] * xi[k]);
    }
    for (size_t k = 0; k < n; ++k) {
        out[k] = levelOf(out[k]);
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
    binLevels(transformer->getRe(), transformer->getIm(), spectrum, getFrameLength() / 2);
    raiseBandLevels(spectrum);
}

void tq_spectrumCore::raiseBandLevels(const float* spectrum) {
    // Each start bin is read once: as band b + 1's start and as band b's end.
    int32_t next = bandStartBin[0].load(std::memory_order_relaxed);
    for (int32_t b = 0; b < bandCount; ++b) {
        // The editor may be rewriting the table: never index outside 0..511.
        const int32_t s = next < 0 ? 0 : next;
        // s + 1 without overflow: a start at the top of the range is past 511.
        int32_t end = s < levelBins ? s + 1 : levelBins;
        if (b < bandCount - 1) {
            next = bandStartBin[b + 1].load(std::memory_order_relaxed);
            end = next > end ? next : end;
        }
        end = end < levelBins ? end : levelBins;
        float v = 0.0f;
        if (s < levelBins) {
            v = spectrum[s];
            for (int32_t j = s + 1; j < end; ++j) {
                v = spectrum[j] > v ? spectrum[j] : v;
            }
        }
        if (v > bandLevel[b].load(std::memory_order_relaxed)) {
            bandLevel[b].store(v, std::memory_order_relaxed);
        }
    }
}
