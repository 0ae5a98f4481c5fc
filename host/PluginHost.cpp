#include "host/PluginHost.h"

#include <algorithm>
#include <atomic>

#include "analysis/tq_spectrumCore.h"
#include "shell/tq_spectrum.h"

PluginHost::~PluginHost() {
    close();
}

bool PluginHost::open(double sampleRate, int32_t maxBlockSize, std::string& error) {
    close();
    if (!(sampleRate > 0.0) || maxBlockSize < 1) {
        error = "the plug-in needs a positive sample rate and block size";
        return false;
    }
    if (!create(error)) {
        return false;
    }
    core = static_cast<tq_spectrum*>(effect->object)->getCore();
    if (!core) {
        close();
        error = "the plug-in has no analysis core";
        return false;
    }

    maxBlock = maxBlockSize;
    for (int channel = 0; channel < 2; ++channel) {
        inputs[channel].assign(static_cast<size_t>(maxBlock), 0.0f);
        outputs[channel].assign(static_cast<size_t>(maxBlock), 0.0f);
    }
    // Until an editor opens, lay the bands out on the linear axis the way it
    // would, and start every level at 0.
    for (size_t band = 0; band < kBandCount; ++band) {
        core->bandStartBin[band].store(SpectrumLayout::linearStartBin(static_cast<int32_t>(band)),
                                       std::memory_order_relaxed);
        core->bandLevel[band].store(0.0f, std::memory_order_relaxed);
    }
    start(sampleRate, maxBlock);
    return true;
}

void PluginHost::process(const float* left, const float* right, int32_t frames) {
    if (!effect) {
        return;
    }
    // The entry takes non-const channel pointers; give it our own copies, in
    // pieces no longer than the block size the plug-in was told.
    for (int32_t done = 0; done < frames;) {
        const int32_t count = std::min(frames - done, maxBlock);
        std::copy(left + done, left + done + count, inputs[0].begin());
        std::copy(right + done, right + done + count, inputs[1].begin());
        float* in[2] = {inputs[0].data(), inputs[1].data()};
        float* out[2] = {outputs[0].data(), outputs[1].data()};
        effect->processReplacing(effect, in, out, count);
        done += count;
    }
}

void PluginHost::processFrame(const float* left, const float* right, int32_t frames,
                              BandLevels& frameLevels) {
    frameLevels.fill(0.0f);
    if (!core) {
        process(left, right, frames);
        return;
    }
    // A band keeps the highest level since the editor last lowered it, so
    // after this frame it would mix the frame with earlier ones. Set what it
    // holds aside and start every band at 0: afterwards the bands hold this
    // frame's levels alone. Then hand back what the band would have reached
    // by itself, the higher of the two, since a frame only ever raises it.
    BandLevels held{};
    for (size_t band = 0; band < kBandCount; ++band) {
        held[band] = core->bandLevel[band].load(std::memory_order_relaxed);
        core->bandLevel[band].store(0.0f, std::memory_order_relaxed);
    }
    process(left, right, frames);
    for (size_t band = 0; band < kBandCount; ++band) {
        frameLevels[band] = core->bandLevel[band].load(std::memory_order_relaxed);
        core->bandLevel[band].store(std::max(held[band], frameLevels[band]),
                                    std::memory_order_relaxed);
    }
}

float PluginHost::heldLevel(size_t band) const {
    return core && band < kBandCount ? core->bandLevel[band].load(std::memory_order_relaxed) : 0.0f;
}

BandTable::StartBins PluginHost::bandStartBins() const {
    BandTable::StartBins starts{};
    for (size_t band = 0; band < kBandCount; ++band) {
        starts[band] = core ? core->bandStartBin[band].load(std::memory_order_relaxed)
                            : SpectrumLayout::linearStartBin(static_cast<int32_t>(band));
    }
    return starts;
}

void PluginHost::close() {
    EffectInstance::close();
    core = nullptr;
}
