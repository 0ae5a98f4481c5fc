// Deterministic test audio: loud tones that change from block to block over
// noise, and the samples hosts should never send but do (NaN, infinities,
// denormals). The same seed always gives the same samples.
#pragma once

#include <cstddef>
#include <cstdint>

class TestSignal {
public:
    enum class Kind { loud, silence, nan, infinity, denormal, decaying };

    explicit TestSignal(uint32_t seed = 1) : state(seed ? seed : 1) {}

    // Fills both channels with the next `frames` samples of `kind`. Each call
    // to a loud fill picks a new tone, level and noise amount.
    void fill(Kind kind, float* left, float* right, size_t frames);
    // The next pseudo-random number, and one in [low, high].
    uint32_t next();
    int32_t between(int32_t low, int32_t high);

private:
    float uniform(); // in [-1, 1)

    uint32_t state;
    double phase = 0.0;
    float decay = 1.0f;
};
