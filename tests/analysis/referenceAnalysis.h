// The plain reference analysis, one step after another in the
// straightforward way: the yardstick that the fast audio path must match
// bit for bit.
#pragma once

#include <cstdint>
#include <vector>

namespace referenceAnalysis {

// cos and -sin of pi / half for every stage, as the transform's tables.
void twiddles(int32_t log2Size, std::vector<float>& cosTable, std::vector<float>& sinTable);

// Bit reversal, then every stage with u = 1 turned by u = u * w after each
// group of butterflies; n = 2^log2Size values in re and im.
void fft(float* re, float* im, int32_t log2Size);

// re * re + im * im: the squared magnitude.
float power(float re, float im);

// magnitude, 20 log10, * 1/60 + 0.5, clamped to 0..1; NaN gives 0.
float level(float re, float im);

// Raises bandLevel[b] to the highest level of band b's bins: from its start
// bin (negative read as 0) up to the next band's start, at least its start
// bin, only bins below 512.
void raiseBands(const float* levels, const int32_t* startBins, float* bandLevels);

} // namespace referenceAnalysis
