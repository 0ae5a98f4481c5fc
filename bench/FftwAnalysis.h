#pragma once

#include <fftw3.h>

#include <cstddef>
#include <cstdint>

#include "analysis/SpectrumLayout.h"

// The plug-in's analysis written the obvious way on FFTW, as the yardstick
// for the plug-in's own: copy in to out, sum 1024 of every 4096 frames of
// both channels, Hamming window, real FFT of 1024, 512 levels (20 log10 of
// the magnitude mapped from -30..+30 dB to 0..1) and 97 band maxima over the
// linear table (band i starts at bin 16i/3).
class FftwAnalysis {
public:
    FftwAnalysis();
    ~FftwAnalysis();
    FftwAnalysis(const FftwAnalysis&) = delete;
    FftwAnalysis& operator=(const FftwAnalysis&) = delete;

    // Stereo block: both channels are copied and captured.
    void process(float** inputs, float** outputs, int32_t frames);
    // levels[k] for bins k < count of an r2c result.
    static void levels(const fftwf_complex* spectrum, float* levels, size_t count);
    // Raises bandLevels[b] to the highest of band b's 512 bin levels, band b
    // covering bins bandStart[b] up to the next band's start.
    static void raiseBands(const float* binLevels, const int32_t* bandStart, float* bandLevels);

    const float* getBandLevels() const { return bandLevel; }
    size_t getFramesAnalysed() const { return framesAnalysed; }

private:
    void analyse();

    float* frame;
    float* windowed;
    fftwf_complex* spectrum;
    fftwf_plan plan;
    size_t phase;
    size_t framesAnalysed;
    float window[SpectrumLayout::kFrameLength];
    float binLevel[SpectrumLayout::kLevelBins];
    int32_t bandStart[SpectrumLayout::kBandCount];
    float bandLevel[SpectrumLayout::kBandCount];
};
