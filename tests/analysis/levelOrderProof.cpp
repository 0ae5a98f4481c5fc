// tq_level_order_proof: runs tq_spectrumCore::powerLevel, as this build
// compiled it against this C library, over every float where it takes a
// logarithm, in order, and checks that the level never decreases: the
// property that lets the band pass take the level of each band's largest
// squared magnitude instead of the largest of its bins' levels. A NaN,
// whose level must be the lowest, is checked too. Prints where the level
// leaves 0 and reaches 1, as squared magnitude and as magnitude.
//
// Exit status 1 when the order fails and this build relies on it
// (LevelOrder::followsPower()); a build that takes one logarithm per bin
// only reports what it found.
#include "analysis/LevelOrder.h"
#include "analysis/tq_spectrumCore.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

uint32_t bitsOf(float x) {
    uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof(bits));
    return bits;
}

float fromBits(uint32_t bits) {
    float x = 0.0f;
    std::memcpy(&x, &bits, sizeof(x));
    return x;
}

// Scans f over every float from `from` to `to` (bit patterns of
// non-negative floats, in order); returns the number of places where it
// decreases and notes where it leaves 0 and where it reaches 1.
template <class Level>
uint64_t scan(const char* name, Level f, uint32_t from, uint32_t to) {
    uint64_t decreases = 0;
    float previous = f(fromBits(from));
    float firstAboveZero = 0.0f;
    float lastBelowOne = 0.0f;
    for (uint32_t bits = from; bits <= to; ++bits) {
        const float x = fromBits(bits);
        const float level = f(x);
        if (level < previous && decreases++ < 10) {
            std::printf("%s: level %.9g at %.9g after %.9g just below\n", name,
                        static_cast<double>(level), static_cast<double>(x),
                        static_cast<double>(previous));
        }
        if (level > 0.0f && firstAboveZero == 0.0f) {
            firstAboveZero = x;
        }
        if (level < 1.0f) {
            lastBelowOne = x;
        }
        previous = level;
    }
    std::printf("%s from %.9g to %.9g: level above 0 from %.9g (0x%08x), below 1 up to "
                "%.9g (0x%08x); %llu decreases\n",
                name, static_cast<double>(fromBits(from)), static_cast<double>(fromBits(to)),
                static_cast<double>(firstAboveZero), bitsOf(firstAboveZero),
                static_cast<double>(lastBelowOne), bitsOf(lastBelowOne),
                static_cast<unsigned long long>(decreases));
    return decreases;
}

} // namespace

int main() {
    // Every squared magnitude from 2^-12 to 2^12: the whole range where the
    // logarithm is taken (magnitudes 2^-6 to 2^6, -36 dB to +36 dB), with a
    // margin. Outside it the level is 0 below and 1 above with no library
    // call: the square root is the processor's correctly rounded
    // instruction, which keeps the order by definition, and the code maps
    // every magnitude below -30.009 dB to 0 and above +30.01 dB to 1.
    const float low = 0x1p-12f;
    const float high = 0x1p12f;
    uint64_t failures =
        scan("squared magnitude", tq_spectrumCore::powerLevel, bitsOf(low), bitsOf(high));
    const float below[] = {0.0f, std::numeric_limits<float>::denorm_min(),
                           std::nextafter(low, 0.0f)};
    const float above[] = {std::nextafter(high, 1e38f), std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity()};
    for (int i = 0; i < 3; ++i) {
        if (tq_spectrumCore::powerLevel(below[i]) != 0.0f ||
            tq_spectrumCore::powerLevel(above[i]) != 1.0f) {
            std::printf("outside the scanned range the level is not 0 below and 1 above\n");
            ++failures;
        }
    }
    // Every magnitude from below -30 dB to above +30 dB: the range where the
    // level is not clamped, and the logarithm's own order over it.
    failures += scan("magnitude", tq_spectrumCore::magnitudeLevel, bitsOf(0.031f), bitsOf(33.0f));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    if (tq_spectrumCore::powerLevel(nan) != 0.0f || tq_spectrumCore::powerLevel(-0.0f) != 0.0f) {
        std::printf("NaN or -0 does not give level 0\n");
        ++failures;
    }
    const bool relied = LevelOrder::followsPower();
    std::printf("%s; this build takes one logarithm per %s\n",
                failures == 0 ? "the level keeps the order" : "THE LEVEL DOES NOT KEEP THE ORDER",
                relied ? "band" : "bin");
    return failures != 0 && relied ? 1 : 0;
}
