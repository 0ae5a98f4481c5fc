// The transforms behind MEftFrmFft, over its arrays: x holds the n values
// and ends with the transform, work receives them bit-reversed; reversal is
// the bit-reversal table, ur/ui the factors of all stages, stage L's from
// entry 2^(L-1) - 1. The real-frame transforms window frame (n samples) on
// the way in and answer false, with nothing finished, when a windowed sample
// is 2^126 or more in magnitude, an infinity or NaN. The wide versions run
// in 256-bit vectors and give the same bits; they are built where the
// processor family has such vectors and otherwise run the portable code.
// The same two builds serve the capture's copies and the level pass's loops.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fftKernels {

// Whether this processor runs the wide versions.
bool processorHasWideVectors();

void transformPortable(float* xr, float* xi, float* workR, float* workI, const int32_t* reversal,
                       const float* ur, const float* ui, size_t n);
bool realTransformPortable(const float* frame, const float* window, float* xr, float* xi,
                           float* workR, float* workI, const int32_t* reversal, const float* ur,
                           const float* ui, int32_t log2n);

void transformWide(float* xr, float* xi, float* workR, float* workI, const int32_t* reversal,
                   const float* ur, const float* ui, size_t n);
bool realTransformWide(const float* frame, const float* window, float* xr, float* xi, float* workR,
                       float* workI, const int32_t* reversal, const float* ur, const float* ui,
                       int32_t log2n);

// The capture's loops: out[i] = in[i] (the two may not overlap), for both
// channels of a stereo block out0 = in0 and out1 = in1, and first[i] =
// first[i] + second[i], for i < count. The copies are meant for short
// blocks; the C library's memcpy does long ones better.
void copyWide(float* out, const float* in, size_t count);
void copyPairWide(float* out0, const float* in0, float* out1, const float* in1, size_t count);
void addPortable(float* first, const float* second, size_t count);
void addWide(float* first, const float* second, size_t count);

// The level pass's loops (PeakStages.h), in the same two builds.
void powersPortable(const float* re, const float* im, float* powers, float* level0, size_t count);
void runLevelsPortable(const float* powers, float* table, size_t stride, size_t count, int32_t top);
void powersWide(const float* re, const float* im, float* powers, float* level0, size_t count);
void runLevelsWide(const float* powers, float* table, size_t stride, size_t count, int32_t top);
// peak[b] = the larger of table[first[b]] and table[last[b]], b < count (a
// multiple of 8 for the wide version).
void bandPeaksPortable(const float* table, const int32_t* first, const int32_t* last, float* peak,
                       size_t count);
void bandPeaksWide(const float* table, const int32_t* first, const int32_t* last, float* peak,
                   size_t count);

} // namespace fftKernels
