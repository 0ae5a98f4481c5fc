// tq-spectrum-live's hold on the plug-in: the JACK period goes straight
// through processReplacing, in pieces of at most kMaxBlock frames, and the
// audio it hands back goes nowhere.
#pragma once

#include <cstdint>

#include "host/EffectInstance.h"

class PluginDriver : public EffectInstance {
public:
    // The longest piece handed to processReplacing; longer JACK periods go
    // through in pieces, so that nothing is allocated when the period grows.
    static constexpr int32_t kMaxBlock = 4096;

    // As EffectInstance::start, with the block size told at most kMaxBlock.
    void start(double sampleRate, int32_t blockSize);

    // The audio thread: no allocation, lock, I/O or host call.
    void process(float* left, float* right, int32_t frames) noexcept;

private:
    // The plug-in hands the audio back; nobody listens to it here.
    float discarded[2][kMaxBlock] = {};
};
