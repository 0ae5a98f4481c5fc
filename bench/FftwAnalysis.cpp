#include "bench/FftwAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstring>

FftwAnalysis::FftwAnalysis()
    : frame(fftwf_alloc_real(SpectrumLayout::kFrameLength)),
      windowed(fftwf_alloc_real(SpectrumLayout::kFrameLength)),
      spectrum(fftwf_alloc_complex(SpectrumLayout::kFrameLength / 2 + 1)),
      plan(fftwf_plan_dft_r2c_1d(static_cast<int>(SpectrumLayout::kFrameLength), windowed, spectrum,
                                 FFTW_MEASURE)),
      phase(0), framesAnalysed(0), window{}, binLevel{}, bandStart{}, bandLevel{} {
    const float denominator = static_cast<float>(SpectrumLayout::kFrameLength - 1);
    for (size_t i = 0; i < SpectrumLayout::kFrameLength; ++i) {
        const float angle = static_cast<float>(i) * 6.2831855f / denominator;
        window[i] = 0.54f - 0.46f * std::cos(angle);
    }
    for (size_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        bandStart[b] = SpectrumLayout::linearStartBin(static_cast<int32_t>(b));
    }
    std::memset(frame, 0, SpectrumLayout::kFrameLength * sizeof(float));
}

FftwAnalysis::~FftwAnalysis() {
    fftwf_destroy_plan(plan);
    fftwf_free(spectrum);
    fftwf_free(windowed);
    fftwf_free(frame);
}

void FftwAnalysis::process(float** inputs, float** outputs, int32_t frames) {
    const size_t count = static_cast<size_t>(frames);
    std::memcpy(outputs[0], inputs[0], count * sizeof(float));
    std::memcpy(outputs[1], inputs[1], count * sizeof(float));
    const float* left = inputs[0];
    const float* right = inputs[1];
    size_t done = 0;
    while (done < count) {
        if (phase < SpectrumLayout::kFrameLength) {
            const size_t take = std::min(SpectrumLayout::kFrameLength - phase, count - done);
            for (size_t i = 0; i < take; ++i) {
                frame[phase + i] = left[done + i] + right[done + i];
            }
            phase += take;
            done += take;
            if (phase == SpectrumLayout::kFrameLength) {
                analyse();
            }
        } else {
            const size_t skip = std::min(SpectrumLayout::kHopLength - phase, count - done);
            phase = (phase + skip) % SpectrumLayout::kHopLength;
            done += skip;
        }
    }
}

void FftwAnalysis::levels(const fftwf_complex* spectrum, float* levels, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        const float magnitude =
            std::sqrt(spectrum[k][0] * spectrum[k][0] + spectrum[k][1] * spectrum[k][1]);
        const float decibels = 20.0f * std::log10(magnitude);
        const float level = decibels * 0.016666668f + 0.5f;
        levels[k] = level > 1.0f ? 1.0f : (level < 0.0f ? 0.0f : level);
    }
}

void FftwAnalysis::analyse() {
    for (size_t i = 0; i < SpectrumLayout::kFrameLength; ++i) {
        windowed[i] = window[i] * frame[i];
    }
    fftwf_execute(plan);
    levels(spectrum, binLevel, SpectrumLayout::kLevelBins);
    raiseBands(binLevel, bandStart, bandLevel);
    ++framesAnalysed;
}

void FftwAnalysis::raiseBands(const float* binLevels, const int32_t* bandStart, float* bandLevels) {
    for (size_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        const size_t start = static_cast<size_t>(bandStart[b]);
        const size_t end =
            b + 1 < SpectrumLayout::kBandCount ? static_cast<size_t>(bandStart[b + 1]) : start + 1;
        float v = start < SpectrumLayout::kLevelBins ? binLevels[start] : 0.0f;
        for (size_t j = start + 1; j < end && j < SpectrumLayout::kLevelBins; ++j) {
            v = std::max(v, binLevels[j]);
        }
        bandLevels[b] = std::max(bandLevels[b], v);
    }
}
