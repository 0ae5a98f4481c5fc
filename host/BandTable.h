// The 97 display bands on the linear frequency axis, as the editor lays them
// out when it opens: band i starts at transform bin (16 i) / 3, and each bin is
// sampleRate / 1024 Hz wide.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t kBandCount = 97;
using BandLevels = std::array<float, kBandCount>;

class BandTable {
public:
    static constexpr int32_t kTransformSize = 1024;
    // Bins 0 to 511 carry levels; a band starting at or above this has none.
    static constexpr int32_t kLevelBins = kTransformSize / 2;

    explicit BandTable(double sampleRate);

    // First bin of band i on the linear axis.
    static int32_t startBin(size_t band);
    // One past the band's last bin; a band always covers at least its start bin.
    static int32_t endBin(size_t band);
    // Band whose bins contain the given bin, or kBandCount when none does.
    static size_t bandOfBin(int32_t bin);

    double binWidth() const { return binWidthHz; }
    double lowHz(size_t band) const { return startBin(band) * binWidthHz; }
    double highHz(size_t band) const { return endBin(band) * binWidthHz; }
    // Band holding the bin nearest to the frequency, or kBandCount.
    size_t bandOfFrequency(double hz) const;

private:
    double binWidthHz;
};
