#include "tests/reliability/TestSignal.h"

#include <cmath>
#include <limits>

uint32_t TestSignal::next() {
    // xorshift32: the same numbers on every platform and library.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int32_t TestSignal::between(int32_t low, int32_t high) {
    const uint32_t span = static_cast<uint32_t>(high - low) + 1u;
    return low + static_cast<int32_t>(span ? next() % span : next());
}

float TestSignal::uniform() {
    return static_cast<float>(next() >> 8) / 8388608.0f - 1.0f;
}

void TestSignal::fill(Kind kind, float* left, float* right, size_t frames) {
    switch (kind) {
    case Kind::loud: {
        // Up to +18 dB over full scale: hosts do send that much.
        const double frequency = 20.0 + static_cast<double>(next() % 20000u);
        const float level = 0.01f + 8.0f * static_cast<float>(next() % 1000u) / 1000.0f;
        const float noise = static_cast<float>(next() % 100u) / 100.0f;
        const double step = 2.0 * 3.14159265358979 * frequency / 44100.0;
        for (size_t i = 0; i < frames; ++i) {
            const float tone = level * static_cast<float>(std::sin(phase));
            phase = std::fmod(phase + step, 2.0 * 3.14159265358979);
            left[i] = tone + noise * uniform();
            right[i] = -tone + noise * uniform();
        }
        break;
    }
    case Kind::silence:
    case Kind::nan:
    case Kind::infinity:
    case Kind::denormal: {
        const float value = kind == Kind::nan        ? std::numeric_limits<float>::quiet_NaN()
                            : kind == Kind::infinity ? std::numeric_limits<float>::infinity()
                            : kind == Kind::denormal ? std::numeric_limits<float>::denorm_min()
                                                     : 0.0f;
        for (size_t i = 0; i < frames; ++i) {
            left[i] = value;
            right[i] = (i & 1u) ? -value : value;
        }
        break;
    }
    case Kind::decaying:
        // A tone that fades by 6 dB every 256 samples and so sinks deep into
        // the denormal range, where rounding holds it above zero; it starts
        // again at full level once it is down to a few hundred of the
        // smallest steps.
        for (size_t i = 0; i < frames; ++i) {
            if (decay < 1e-42f) {
                decay = 1.0f;
            }
            left[i] = decay * static_cast<float>(std::sin(phase));
            right[i] = left[i];
            phase = std::fmod(phase + 0.0625, 2.0 * 3.14159265358979);
            decay *= 0.99729f;
        }
        break;
    }
}
