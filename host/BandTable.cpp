#include "host/BandTable.h"

#include <cmath>

BandTable::BandTable(double sampleRate) : binWidthHz(sampleRate / kTransformSize) {}

int32_t BandTable::startBin(size_t band) {
    return static_cast<int32_t>(16 * band / 3);
}

int32_t BandTable::endBin(size_t band) {
    const int32_t start = startBin(band);
    if (band + 1 >= kBandCount) {
        return start + 1;
    }
    const int32_t next = startBin(band + 1);
    return next > start ? next : start + 1;
}

size_t BandTable::bandOfBin(int32_t bin) {
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
    if (bin > kTransformSize) {
        return kBandCount;
    }
    return bandOfBin(static_cast<int32_t>(bin));
}
