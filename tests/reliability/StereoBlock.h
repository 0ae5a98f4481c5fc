// Input and output buffers of one stereo block as a host holds them, with
// the pointer arrays processReplacing takes.
#pragma once

#include <cstddef>
#include <vector>

class StereoBlock {
public:
    explicit StereoBlock(size_t capacity);

    float** inputs() { return inputPointers; }
    float** outputs() { return outputPointers; }
    float* input(size_t channel) { return in[channel].data(); }
    float* output(size_t channel) { return out[channel].data(); }
    size_t capacity() const { return in[0].size(); }

    // Fills the outputs with a pattern no plug-in would write, so that an
    // untouched output can be told from a written one.
    void poisonOutputs();
    // The first `frames` samples of output `channel` equal input `channel`
    // bit for bit (NaN payloads included).
    bool passedThrough(size_t channel, size_t frames) const;
    // Output `channel` still holds the poison pattern everywhere.
    bool untouched(size_t channel) const;

private:
    std::vector<float> in[2];
    std::vector<float> out[2];
    float* inputPointers[2];
    float* outputPointers[2];
};
