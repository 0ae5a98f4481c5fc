// What a band level means. The plug-in maps the magnitude of each bin of its
// unscaled 1024-point transform of both channels, summed and Hamming-windowed,
// from -30 dB (level 0) to +30 dB (level 1). A sine of amplitude a in both
// channels, at a bin's centre, gives its bin a magnitude of a times the sum of
// the window, 552.5: a full-scale sine is +54.85 dB there, so the levels span
// -84.85 to -24.85 dBFS of such a sine (up to 1.8 dB less between two bins'
// centres, 6 dB less in one channel only).
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

#include "analysis/SpectrumLayout.h"

struct LevelScale {
    static constexpr double kLowDb = SpectrumLayout::kLowDb;
    static constexpr double kHighDb = SpectrumLayout::kHighDb;
    static constexpr double kWindowSum = 552.5;

    // Level 0..1 to dB of the transform.
    static double transformDb(double level) { return kLowDb + level * (kHighDb - kLowDb); }
    // The dBFS a sine in both channels of the input has when it reads this
    // level, with the host's input gain of gainDb in front of the plug-in.
    static double sineDbfs(double level, double gainDb) {
        return transformDb(level) - 20.0 * std::log10(kWindowSum) - gainDb;
    }
    // "+6 dB", "-3.5 dB", "+0.25 dB", "0 dB".
    static std::string gainText(double gainDb) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%+.2f", gainDb);
        std::string text = digits;
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
        if (text == "+0" || text == "-0") {
            text = "0";
        }
        return text + " dB";
    }
};
