#include "analysis/tq_spectrumCore.h"

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

float tq_spectrumCore::binLevel(float re, float im) {
    const float power = re * re + im * im;
    const float magnitude = std::sqrt(power);
    const float decibels = 20.0f * std::log10(magnitude);
    float level = decibels * 0.016666668f + 0.5f;
    if (level > 1.0f) {
        level = 1.0f;
    } else if (!(level >= 0.0f)) {
        // Also catches NaN from a NaN sample.
        level = 0.0f;
    }
    return level;
}

void tq_spectrumCore::analyseFrame(float* frame, float* spectrum) {
    MEftFrmFft* transformer = fft();
    // Without a complete transform (a failed allocation) the frame is skipped.
    if (frame == nullptr || spectrum == nullptr || transformer == nullptr ||
        !transformer->isReady() || transformer->getSize() != getFrameLength()) {
        return;
    }
    transformer->transformFrame(frame, spectrum);
    const float* re = transformer->getRe();
    const float* im = transformer->getIm();
    const int32_t bins = getFrameLength() / 2;
    for (int32_t k = 0; k < bins; ++k) {
        spectrum[k] = binLevel(re[k], im[k]);
    }
    raiseBandLevels(spectrum);
}

void tq_spectrumCore::raiseBandLevels(const float* spectrum) {
    for (int32_t b = 0; b < bandCount; ++b) {
        int32_t s = bandStartBin[b].load(std::memory_order_relaxed);
        // The editor may be rewriting the table: never index outside 0..511.
        if (s < 0) {
            s = 0;
        }
        float v = 0.0f;
        if (s < levelBins) {
            v = spectrum[s];
            if (b < bandCount - 1) {
                const int32_t e = bandStartBin[b + 1].load(std::memory_order_relaxed);
                for (int32_t j = s + 1; j < e && j < levelBins; ++j) {
                    if (spectrum[j] > v) {
                        v = spectrum[j];
                    }
                }
            }
        }
        if (v > bandLevel[b].load(std::memory_order_relaxed)) {
            bandLevel[b].store(v, std::memory_order_relaxed);
        }
    }
}
