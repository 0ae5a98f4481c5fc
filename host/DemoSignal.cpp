#include "host/DemoSignal.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kSweepStart = 3.0;
constexpr double kNoiseStart = 6.0;
constexpr double kEnd = 8.0;
constexpr double kFade = 0.02;
constexpr double kSweepLowHz = 40.0;
constexpr double kSweepHighHz = 18000.0;

// Raised-cosine fade at both ends of a section, so its edges do not click.
double sectionGain(double t, double start, double end) {
    const double edge = std::min(t - start, end - t);
    if (edge >= kFade) {
        return 1.0;
    }
    if (edge <= 0.0) {
        return 0.0;
    }
    return 0.5 - 0.5 * std::cos(kTwoPi * 0.5 * edge / kFade);
}

double tone(double hz, double t) {
    return std::sin(kTwoPi * hz * t);
}

} // namespace

std::string DemoSignal::describe() const {
    return "demo signal (tones 440, 1000, 2000, 5000 and 12000 Hz for 3 s, sweep 40 Hz to "
           "18 kHz for 3 s, noise for 2 s), 44100 Hz, 2 channels, 8.00 s";
}

size_t DemoSignal::read(float* left, float* right, size_t maxFrames) {
    const int64_t remaining = kFrames - position;
    const size_t count =
        static_cast<size_t>(std::min<int64_t>(remaining, static_cast<int64_t>(maxFrames)));
    for (size_t i = 0; i < count; ++i) {
        nextSample(left[i], right[i]);
    }
    return count;
}

void DemoSignal::nextSample(float& left, float& right) {
    const double t = static_cast<double>(position) / kSampleRate;
    double l = 0.0;
    double r = 0.0;
    if (t < kSweepStart) {
        const double common = 0.25 * tone(440.0, t) + 0.15 * tone(1000.0, t) +
                              0.08 * tone(5000.0, t) + 0.04 * tone(12000.0, t);
        const double gain = sectionGain(t, 0.0, kSweepStart);
        l = gain * common;
        r = gain * (common + 0.1 * tone(2000.0, t));
    } else if (t < kNoiseStart) {
        // Exponential sweep: the same time for every octave.
        const double progress = (t - kSweepStart) / (kNoiseStart - kSweepStart);
        const double hz = kSweepLowHz * std::pow(kSweepHighHz / kSweepLowHz, progress);
        sweepPhase = std::fmod(sweepPhase + kTwoPi * hz / kSampleRate, kTwoPi);
        l = r = 0.03 * sectionGain(t, kSweepStart, kNoiseStart) * std::sin(sweepPhase);
    } else {
        const double gain = 0.1 * sectionGain(t, kNoiseStart, kEnd);
        l = gain * noise();
        r = gain * noise();
    }
    left = static_cast<float>(l);
    right = static_cast<float>(r);
    ++position;
}

float DemoSignal::noise() {
    // xorshift32: cheap, and the same sequence on every machine.
    noiseState ^= noiseState << 13;
    noiseState ^= noiseState >> 17;
    noiseState ^= noiseState << 5;
    return static_cast<float>(noiseState) / 2147483648.0f - 1.0f;
}
