#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A fixed stereo test signal: noise at about -12 dBFS with a tone in each
// channel, so that the levels spread over the whole -30..+30 dB range. The
// same seed always gives the same samples.
class StereoSignal {
public:
    StereoSignal(size_t frames, uint32_t seed);

    size_t frames() const { return left.size(); }
    float* leftAt(size_t frame) { return left.data() + frame; }
    float* rightAt(size_t frame) { return right.data() + frame; }

private:
    std::vector<float> left;
    std::vector<float> right;
};
