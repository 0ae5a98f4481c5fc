#include "referenceAnalysis.h"

#include <cmath>
#include <utility>

#include "analysis/SpectrumLayout.h"

namespace referenceAnalysis {

void twiddles(int32_t log2Size, std::vector<float>& cosTable, std::vector<float>& sinTable) {
    cosTable.assign(static_cast<size_t>(log2Size), 0.0f);
    sinTable.assign(static_cast<size_t>(log2Size), 0.0f);
    for (int32_t stage = 1; stage <= log2Size; ++stage) {
        const int32_t half = (1 << stage) / 2;
        const float angle = 3.1415927f / static_cast<float>(half);
        cosTable[stage - 1] = std::cos(angle);
        sinTable[stage - 1] = -std::sin(angle);
    }
}

void fft(float* re, float* im, int32_t log2Size) {
    const int32_t n = 1 << log2Size;
    std::vector<float> cosTable;
    std::vector<float> sinTable;
    twiddles(log2Size, cosTable, sinTable);

    int32_t j = 0;
    for (int32_t i = 0; i < n - 1; ++i) {
        if (j > i) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        int32_t k = n / 2;
        while (j >= k) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
    }

    for (int32_t stage = 1; stage <= log2Size; ++stage) {
        const int32_t le = 1 << stage;
        const int32_t le2 = le / 2;
        float ur = 1.0f;
        float ui = 0.0f;
        const float wr = cosTable[stage - 1];
        const float wi = sinTable[stage - 1];
        for (int32_t g = 0; g < le2; ++g) {
            for (int32_t i = g; i < n; i += le) {
                const int32_t p = i + le2;
                const float tr = re[p] * ur - im[p] * ui;
                const float ti = re[p] * ui + im[p] * ur;
                re[p] = re[i] - tr;
                im[p] = im[i] - ti;
                re[i] = re[i] + tr;
                im[i] = im[i] + ti;
            }
            const float nr = ur * wr - ui * wi;
            const float ni = ui * wr + ur * wi;
            ur = nr;
            ui = ni;
        }
    }
}

float power(float re, float im) {
    return re * re + im * im;
}

float level(float re, float im) {
    const float magnitude = std::sqrt(power(re, im));
    const float decibels = 20.0f * std::log10(magnitude);
    const float value = decibels * 0.016666668f + 0.5f;
    if (value > 1.0f) {
        return 1.0f;
    }
    if (value < 0.0f || std::isnan(value)) {
        return 0.0f;
    }
    return value;
}

void raiseBands(const float* levels, const int32_t* startBins, float* bandLevels) {
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        const int32_t s = startBins[b] < 0 ? 0 : startBins[b];
        float v = s < 512 ? levels[s] : 0.0f;
        if (b < SpectrumLayout::kBandCount - 1 && s < 512) {
            for (int32_t j = s + 1; j < startBins[b + 1] && j < 512; ++j) {
                if (levels[j] > v) {
                    v = levels[j];
                }
            }
        }
        if (v > bandLevels[b]) {
            bandLevels[b] = v;
        }
    }
}

} // namespace referenceAnalysis
