#include "ReferenceCapture.h"

ReferenceCapture::ReferenceCapture(int32_t frameLength, int32_t hopLength, int32_t channels)
    : frameLength(frameLength), hopLength(hopLength), channels(channels), capturePos{0, -hopLength},
      frames(2 * 2 * 1024, 0.0f) {}

const float* ReferenceCapture::buffer(int32_t channel, int32_t slot) const {
    return frames.data() + (channel * 2 + slot) * 1024;
}

void ReferenceCapture::capture(float* const* inputs, int32_t count, const FrameSink& onFrame) {
    const bool mix = channels > 1 && inputs[1] != nullptr;
    // Without any input nothing is captured and no slot advances.
    if (inputs[0] == nullptr && !mix) {
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        for (int32_t c = 0; c < channels; ++c) {
            if (inputs[c] == nullptr) {
                continue;
            }
            const float x = inputs[c][i];
            for (int32_t s = 0; s < 2; ++s) {
                if (capturePos[s] >= 0 && capturePos[s] < frameLength) {
                    frames[(c * 2 + s) * 1024 + capturePos[s]] = x;
                }
            }
        }
        for (int32_t s = 0; s < 2; ++s) {
            capturePos[s] += 1;
            if (capturePos[s] >= frameLength) {
                float* first = frames.data() + s * 1024;
                const float* second = frames.data() + (2 + s) * 1024;
                if (mix) {
                    for (int32_t j = 0; j < frameLength; ++j) {
                        first[j] += second[j];
                    }
                }
                onFrame(s, first);
                capturePos[s] = frameLength - 2 * hopLength;
            }
        }
    }
}
