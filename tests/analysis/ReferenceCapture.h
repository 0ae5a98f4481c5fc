#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// The frame capture written sample by sample: every sample is tested against
// both slots' positions, every slot advanced and checked after each sample.
class ReferenceCapture {
public:
    using FrameSink = std::function<void(int32_t slot, const float* frame)>;

    // channels: 1 or 2; mixing needs the second channel's input present.
    ReferenceCapture(int32_t frameLength, int32_t hopLength, int32_t channels);

    // Captures one block from inputs (null channels skipped; with none at all
    // nothing moves); onFrame sees each completed, summed frame the moment
    // its last sample arrives.
    void capture(float* const* inputs, int32_t frames, const FrameSink& onFrame);

    int32_t position(int32_t slot) const { return capturePos[slot]; }
    const float* buffer(int32_t channel, int32_t slot) const;

private:
    int32_t frameLength;
    int32_t hopLength;
    int32_t channels;
    int32_t capturePos[2];
    std::vector<float> frames;
};
