// The 97 display bands as the plug-in lays them out: band i starts at a
// transform bin and covers the bins up to the next band's start, at least its
// own; the last band covers its start bin alone. Each bin is sampleRate / 1024
// Hz wide, and only the bins below half the rate carry levels: a band's
// frequencies stop there, and a band that lies wholly above is empty. The editor opens with the
// linear axis, start bin (16 i) / 3; its View menu can switch to the logarithmic one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/SpectrumLayout.h"

// The plug-in's band count, as the host's indices count.
constexpr size_t kBandCount = SpectrumLayout::kBandCount;
using BandLevels = std::array<float, kBandCount>;

class BandTable {
public:
    enum class Axis { linear, logarithmic };
    using StartBins = std::array<int32_t, kBandCount>;

    // The linear axis.
    explicit BandTable(double sampleRate);
    // The layout the plug-in reports, on the axis that produced it.
    BandTable(double sampleRate, const StartBins& starts, Axis axis);

    int32_t startBin(size_t band) const { return starts[band]; }
    // One past the band's last bin.
    int32_t endBin(size_t band) const;
    // First band whose bins contain the given bin, or kBandCount when none does.
    size_t bandOfBin(int32_t bin) const;

    Axis axis() const { return scale; }
    const char* axisName() const { return scale == Axis::linear ? "linear" : "logarithmic"; }
    double binWidth() const { return binWidthHz; }
    // The band's frequencies, never past half the rate.
    double lowHz(size_t band) const { return levelBin(startBin(band)) * binWidthHz; }
    double highHz(size_t band) const { return levelBin(endBin(band)) * binWidthHz; }
    // The table as CSV: the header line, then one line per band, numbers as
    // short as reads back the same.
    static constexpr const char* kCsvHeader = "band,low_hz,high_hz\n";
    std::string csvText() const;
    // Band holding the bin nearest to the frequency, or kBandCount.
    size_t bandOfFrequency(double hz) const;
    // The frequency the axis names at a position from 0 (its left end, band
    // 0) to 96 (its right end): 0 Hz to half the rate, or 10 Hz to 100 kHz.
    double axisHz(double position) const;

private:
    static int32_t levelBin(int32_t bin) {
        return bin < SpectrumLayout::kLevelBins ? bin : SpectrumLayout::kLevelBins;
    }

    double binWidthHz;
    StartBins starts;
    Axis scale;
};
