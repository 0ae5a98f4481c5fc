#include "TestSignal.h"

#include <cmath>

#include "analysis/SpectrumLayout.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A tone of amplitude a in both channels reaches 552.5 a in its bin; a level
// is 1/60 per dB around 0.5 at magnitude 1.
double amplitudeFor(double level) {
    return level >= 1.0 ? 0.1 : std::pow(10.0, (level - 0.5) * 3.0) / 552.5;
}

} // namespace

std::vector<TestSignal::Tone> TestSignal::tones() {
    std::vector<Tone> list;
    for (int32_t j = 0; j < 24; ++j) {
        Tone tone{};
        tone.band = 2 + 4 * j;
        tone.bin = SpectrumLayout::linearStartBin(tone.band) + 2;
        // Shown levels on a 0.02 grid sit half a segment from either edge.
        tone.shownLevel = 0.80f - 0.02f * float(j);
        tone.litSegments = 40 - j;
        tone.amplitude = amplitudeFor(double(tone.shownLevel) + 0.2);
        list.push_back(tone);
    }
    return list;
}

std::vector<float> TestSignal::samples(size_t frames) {
    const std::vector<Tone> list = tones();
    std::vector<float> out(frames);
    for (size_t n = 0; n < frames; ++n) {
        double sum = 0.0;
        for (const Tone& tone : list) {
            // Phases modulo the frame keep the arguments small and exact.
            const double phase = double((size_t(tone.bin) * n) % 1024) / 1024.0;
            sum += tone.amplitude * std::sin(2.0 * kPi * phase);
        }
        out[n] = float(sum);
    }
    return out;
}

std::vector<int32_t> TestSignal::expectedSegments() {
    std::vector<int32_t> segments(SpectrumLayout::kBandCount, 0);
    for (const Tone& tone : tones()) {
        segments[size_t(tone.band)] = tone.litSegments;
    }
    return segments;
}
