// The level pass's loops over the squared magnitudes, shared by the builds
// for any processor and for one with 256-bit vectors like FftStages.h: the
// same source compiled twice, every lane doing the scalar loop's operation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace peakStages {

// powers[k] = re[k] * re[k] + im[k] * im[k] for k < count, and where
// level0 is not null level 0 of a table of runs (below) from them.
[[gnu::always_inline]] inline void powers(const float* __restrict re, const float* __restrict im,
                                          float* __restrict out, float* __restrict level0,
                                          size_t count) {
    if (level0 == nullptr) {
        for (size_t k = 0; k < count; ++k) {
            out[k] = re[k] * re[k] + im[k] * im[k];
        }
        return;
    }
    for (size_t k = 0; k < count; ++k) {
        const float p = re[k] * re[k] + im[k] * im[k];
        out[k] = p;
        level0[k] = p > 0.0f ? p : 0.0f;
    }
}

// Levels 0 to top of a table of runs, level L at table + L * stride: level 0
// holds max(powers[k], 0), a NaN giving 0, and level L the larger of level
// L - 1's entries k and k + 2^(L-1), the largest of the 2^L powers from k
// on. Entries count to stride - 1 are not written: zeros, which the runs
// near the end reach into. With powers null, level 0 is there already.
[[gnu::always_inline]] inline void runLevels(const float* __restrict powers, float* table,
                                             size_t stride, size_t count, int32_t top) {
    float* __restrict level0 = table;
    for (size_t k = 0; powers != nullptr && k < count; ++k) {
        level0[k] = powers[k] > 0.0f ? powers[k] : 0.0f;
    }
    for (int32_t level = 1; level <= top; ++level) {
        const float* __restrict below = table + static_cast<size_t>(level - 1) * stride;
        float* __restrict here = table + static_cast<size_t>(level) * stride;
        const size_t reach = size_t{1} << (level - 1);
        for (size_t k = 0; k < count; ++k) {
            const float a = below[k];
            const float b = below[k + reach];
            here[k] = a > b ? a : b;
        }
    }
}

// peak[b] = the larger of table[first[b]] and table[last[b]], b < count.
[[gnu::always_inline]] inline void bandPeaks(const float* __restrict table,
                                             const int32_t* __restrict first,
                                             const int32_t* __restrict last, float* __restrict peak,
                                             size_t count) {
    for (size_t b = 0; b < count; ++b) {
        const float p = table[first[b]];
        const float q = table[last[b]];
        peak[b] = p > q ? p : q;
    }
}

// first[i] = first[i] + second[i] for i < count: the stereo frame's sum.
[[gnu::always_inline]] inline void addInto(float* __restrict first, const float* __restrict second,
                                           size_t count) {
    for (size_t i = 0; i < count; ++i) {
        first[i] = first[i] + second[i];
    }
}

} // namespace peakStages
