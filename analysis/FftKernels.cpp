// The transforms compiled for any processor of the target.
#include "analysis/FftKernels.h"

#include "analysis/FftStages.h"

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

} // namespace fftKernels
