// The transforms compiled for any processor of the target.
#include "analysis/FftKernels.h"

#include "analysis/FftStages.h"
#include "analysis/PeakStages.h"

namespace fftKernels {

using fftStages::TableReversal;

void transformPortable(float* xr, float* xi, float* workR, float* workI, const int32_t* reversal,
                       const float* ur, const float* ui, size_t n) {
    fftStages::runTransform<TableReversal>(xr, xi, workR, workI, reversal, ur, ui, n);
}

bool realTransformPortable(const float* frame, const float* window, float* xr, float* xi,
                           float* workR, float* workI, const int32_t* reversal, const float* ur,
                           const float* ui, int32_t log2n) {
    return fftStages::runRealTransform<TableReversal>(frame, window, xr, xi, workR, workI, reversal,
                                                      ur, ui, log2n);
}

void addPortable(float* first, const float* second, size_t count) {
    peakStages::addInto(first, second, count);
}

void powersPortable(const float* re, const float* im, float* powers, float* level0, size_t count) {
    peakStages::powers(re, im, powers, level0, count);
}

void runLevelsPortable(const float* powers, float* table, size_t stride, size_t count,
                       int32_t top) {
    peakStages::runLevels(powers, table, stride, count, top);
}

void bandPeaksPortable(const float* table, const int32_t* first, const int32_t* last, float* peak,
                       size_t count) {
    peakStages::bandPeaks(table, first, last, peak, count);
}

} // namespace fftKernels
