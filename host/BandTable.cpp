#include "host/BandTable.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

namespace {

BandTable::StartBins linearStarts() {
    BandTable::StartBins starts{};
    for (size_t band = 0; band < kBandCount; ++band) {
        starts[band] = SpectrumLayout::linearStartBin(static_cast<int32_t>(band));
    }
    return starts;
}

} // namespace

BandTable::BandTable(double sampleRate) : BandTable(sampleRate, linearStarts(), Axis::linear) {}

BandTable::BandTable(double sampleRate, const StartBins& starts, Axis axis)
    : binWidthHz(sampleRate / SpectrumLayout::kFrameLength), starts(starts), scale(axis) {}

int32_t BandTable::endBin(size_t band) const {
    const int32_t start = startBin(band);
    if (band + 1 >= kBandCount) {
        return start + 1;
    }
    const int32_t next = startBin(band + 1);
    return next > start ? next : start + 1;
}

size_t BandTable::bandOfBin(int32_t bin) const {
    for (size_t band = 0; band < kBandCount; ++band) {
        if (bin >= startBin(band) && bin < endBin(band)) {
            return band;
        }
    }
    return kBandCount;
}

size_t BandTable::bandOfFrequency(double hz) const {
    if (!(hz >= 0.0) || binWidthHz <= 0.0) {
        return kBandCount;
    }
    const double bin = std::round(hz / binWidthHz);
    if (bin > SpectrumLayout::kFrameLength) {
        return kBandCount;
    }
    return bandOfBin(static_cast<int32_t>(bin));
}

std::string BandTable::csvText() const {
    std::string text = kCsvHeader;
    char digits[32];
    for (size_t band = 0; band < kBandCount; ++band) {
        text += std::to_string(band);
        for (double hz : {lowHz(band), highHz(band)}) {
            text += ',';
            text.append(digits, std::to_chars(digits, digits + sizeof digits, hz).ptr);
        }
        text += '\n';
    }
    return text;
}

double BandTable::axisHz(double position) const {
    const double fraction = position / static_cast<double>(kBandCount - 1);
    if (scale == Axis::logarithmic) {
        return std::pow(10.0, 1.0 + 4.0 * fraction);
    }
    return fraction * binWidthHz * SpectrumLayout::kLevelBins;
}
