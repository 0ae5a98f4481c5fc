#include "tests/reliability/StereoBlock.h"

#include <cstdint>
#include <cstring>

namespace {

// A signalling-NaN pattern: not a value any computation produces.
constexpr uint32_t kPoisonBits = 0x7FA5A5A5u;

bool holdsPoison(const std::vector<float>& samples) {
    for (const float sample : samples) {
        uint32_t bits = 0;
        std::memcpy(&bits, &sample, sizeof bits);
        if (bits != kPoisonBits) {
            return false;
        }
    }
    return true;
}

} // namespace

StereoBlock::StereoBlock(size_t capacity)
    : in{std::vector<float>(capacity), std::vector<float>(capacity)},
      out{std::vector<float>(capacity), std::vector<float>(capacity)},
      inputPointers{in[0].data(), in[1].data()}, outputPointers{out[0].data(), out[1].data()} {}

void StereoBlock::poisonOutputs() {
    for (auto& channel : out) {
        for (float& sample : channel) {
            std::memcpy(&sample, &kPoisonBits, sizeof sample);
        }
    }
}

bool StereoBlock::passedThrough(size_t channel, size_t frames) const {
    return frames <= capacity() &&
           std::memcmp(in[channel].data(), out[channel].data(), frames * sizeof(float)) == 0;
}

bool StereoBlock::untouched(size_t channel) const {
    return holdsPoison(out[channel]);
}
