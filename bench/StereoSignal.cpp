#include "bench/StereoSignal.h"

#include <cmath>
#include <random>

StereoSignal::StereoSignal(size_t frames, uint32_t seed) : left(frames), right(frames) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> noise(-0.25f, 0.25f);
    const double step = 2.0 * 3.141592653589793 / 44100.0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) * step;
        left[i] = noise(rng) + static_cast<float>(0.3 * std::sin(440.0 * t));
        right[i] = noise(rng) + static_cast<float>(0.1 * std::sin(3000.0 * t));
    }
}
