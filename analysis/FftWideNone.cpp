// Processors without 256-bit vectors that the build knows of: the wide
// transforms are the portable ones.
#include "analysis/FftKernels.h"

#include <cstring>

namespace fftKernels {

bool processorHasWideVectors() {
    return false;
}

void transformWide(float* xr, float* xi, float* workR, float* workI, const int32_t* reversal,
                   const float* ur, const float* ui, size_t n) {
    transformPortable(xr, xi, workR, workI, reversal, ur, ui, n);
}

bool realTransformWide(const float* frame, const float* window, float* xr, float* xi, float* workR,
                       float* workI, const int32_t* reversal, const float* ur, const float* ui,
                       int32_t log2n) {
    return realTransformPortable(frame, window, xr, xi, workR, workI, reversal, ur, ui, log2n);
}

void copyWide(float* out, const float* in, size_t count) {
    std::memcpy(out, in, count * sizeof(float));
}

void copyPairWide(float* out0, const float* in0, float* out1, const float* in1, size_t count) {
    std::memcpy(out0, in0, count * sizeof(float));
    std::memcpy(out1, in1, count * sizeof(float));
}

void addWide(float* first, const float* second, size_t count) {
    addPortable(first, second, count);
}

void powersWide(const float* re, const float* im, float* powers, float* level0, size_t count) {
    powersPortable(re, im, powers, level0, count);
}

void runLevelsWide(const float* powers, float* table, size_t stride, size_t count, int32_t top) {
    runLevelsPortable(powers, table, stride, count, top);
}

void bandPeaksWide(const float* table, const int32_t* first, const int32_t* last, float* peak,
                   size_t count) {
    bandPeaksPortable(table, first, last, peak, count);
}

} // namespace fftKernels
