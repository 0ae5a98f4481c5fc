#include "live/PluginDriver.h"

#include <algorithm>

void PluginDriver::start(double sampleRate, int32_t blockSize) {
    EffectInstance::start(sampleRate, std::min(blockSize, kMaxBlock));
}

void PluginDriver::process(float* left, float* right, int32_t frames) noexcept {
    if (!effect || !isRunning() || !left || !right) {
        return;
    }
    for (int32_t done = 0; done < frames;) {
        const int32_t count = std::min(frames - done, blockSize());
        float* in[2] = {left + done, right + done};
        float* out[2] = {discarded[0], discarded[1]};
        effect->processReplacing(effect, in, out, count);
        done += count;
    }
}
