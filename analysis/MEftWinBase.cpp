#include "analysis/MEftWinBase.h"

#include "analysis/FftKernels.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

MEftWinBase::MEftWinBase()
    : frameLength(1024), hopLength(512),
      hopFraction(0.5f), frameBuffer{}, spectrumBuffer{}, window{}, capturePos{0, -512},
      transform(nullptr), wideCapture(fftKernels::processorHasWideVectors()) {}

bool MEftWinBase::useWideCapture(bool on) {
    wideCapture = on && fftKernels::processorHasWideVectors();
    return wideCapture;
}

MEftWinBase::~MEftWinBase() {
    transform.reset();
}

int32_t MEftWinBase::prepare() {
    if (numInputs > 2 || numInputs != numOutputs) {
        return kRefusedChannels;
    }
    int32_t r = setFrameLength(frameLength);
    if (r != 0) {
        return r;
    }
    r = setHopFraction(hopFraction);
    if (r != 0) {
        return r;
    }
    if (transform != nullptr) {
        transform->prepare();
    }
    return MEftBase::prepare();
}

bool MEftWinBase::hopFor(float f, int32_t n, int32_t& hop) {
    const double h = f * static_cast<float>(n) + 0.5;
    // Positions run from -hop to frameLength - 2 * hop: keep them in range.
    if (!(h < static_cast<double>(int32_t{1} << 29))) {
        return false;
    }
    hop = static_cast<int32_t>(h);
    return true;
}

int32_t MEftWinBase::setFrameLength(int32_t n) {
    // Check the range before the transform may resize itself for a length
    // that is refused here.
    int32_t hop = 0;
    if (n < 1 || n > kMaxFrameLength || !hopFor(hopFraction, n, hop)) {
        return kOutOfRange;
    }
    if (transform != nullptr) {
        const int32_t r = transform->setSize(n);
        if (r != 0) {
            return r;
        }
    }
    frameLength = n;
    hopLength = hop;
    reset();
    makeWindow(frameLength, hopLength);
    return kSuccess;
}

int32_t MEftWinBase::setHopFraction(float f) {
    int32_t hop = 0;
    if (!(f > 0.0f) || !hopFor(f, frameLength, hop)) {
        return kOutOfRange;
    }
    hopFraction = f;
    hopLength = hop;
    reset();
    makeWindow(frameLength, hopLength);
    return kSuccess;
}

void MEftWinBase::reset() {
    const int32_t channels = activeChannels();
    for (int32_t c = 0; c < channels; ++c) {
        for (int32_t s = 0; s < 2; ++s) {
            std::memset(frameBuffer[c][s], 0, sizeof(frameBuffer[c][s]));
            std::memset(spectrumBuffer[c][s], 0, sizeof(spectrumBuffer[c][s]));
        }
    }
    capturePos[0] = 0;
    capturePos[1] = -hopLength;
}

void MEftWinBase::analyseFrame(float* frame, float* spectrum) {
    if (transform != nullptr) {
        transform->transformFrame(frame, spectrum);
    }
}

int32_t MEftWinBase::windowEntries(int32_t length) {
    if (length < 0) {
        return 0;
    }
    return length < kWindowLength ? length : kWindowLength;
}

void MEftWinBase::makeWindow(int32_t length, int32_t) {
    const int32_t entries = windowEntries(length);
    for (int32_t i = 0; i < entries; ++i) {
        window[i] = 1.0f;
    }
}

int32_t MEftWinBase::activeChannels() const {
    if (numInputs < 0) {
        return 0;
    }
    return numInputs < kMaxChannels ? numInputs : kMaxChannels;
}

void MEftWinBase::processAccumulating(float** inputs, float** outputs, int32_t sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, Mode::accumulate);
}

void MEftWinBase::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    // The usual call, stereo with every buffer present, without the checks
    // and loops of the general one.
    if (sampleFrames > 0 && numInputs == 2 && inputs != nullptr && outputs != nullptr) {
        const float* in[kMaxChannels] = {inputs[0], inputs[1]};
        float* out0 = outputs[0];
        float* out1 = outputs[1];
        if (in[0] != nullptr && in[1] != nullptr && out0 != nullptr && out1 != nullptr) {
            const size_t count = static_cast<size_t>(sampleFrames);
            if (separate(out0, in[0], count) && separate(out1, in[1], count)) {
                copyPair(out0, in[0], out1, in[1], count);
            } else {
                passThrough(out0, in[0], count);
                passThrough(out1, in[1], count);
            }
            // Most blocks of a long hop fall where both slots wait for
            // their frames: nothing to store.
            const int64_t frames = static_cast<int64_t>(count);
            if (capturePos[0] + frames <= 0 && capturePos[1] + frames <= 0) {
                capturePos[0] += sampleFrames;
                capturePos[1] += sampleFrames;
                return;
            }
            capture(in, 2, count);
            return;
        }
    }
    processBlock(inputs, outputs, sampleFrames, Mode::replace);
}

void MEftWinBase::processBlock(float** inputs, float** outputs, int32_t sampleFrames, Mode mode) {
    if (sampleFrames <= 0) {
        return;
    }
    const size_t count = static_cast<size_t>(sampleFrames);
    const int32_t channels = activeChannels();
    const float* in[kMaxChannels] = {nullptr, nullptr};
    for (int32_t c = 0; c < channels; ++c) {
        in[c] = inputs != nullptr ? inputs[c] : nullptr;
        float* out = outputs != nullptr ? outputs[c] : nullptr;
        if (in[c] == nullptr || out == nullptr) {
            continue;
        }
        if (mode == Mode::accumulate) {
            for (size_t i = 0; i < count; ++i) {
                out[i] += in[c][i];
            }
        } else if (in[c] != out) {
            passThrough(out, in[c], count);
        }
    }

    // Without any input there is nothing to capture: stale frames must not be
    // analysed again.
    if (in[0] == nullptr && in[1] == nullptr) {
        return;
    }
    capture(in, channels, count);
}

void MEftWinBase::capture(const float* const* in, int32_t channels, size_t count) {
    // Most blocks complete no frame: each slot stores what falls inside its
    // frame, if anything, and moves on.
    const int64_t frames = static_cast<int64_t>(count);
    if (capturePos[0] + frames < frameLength && capturePos[1] + frames < frameLength) {
        for (int32_t s = 0; s < 2; ++s) {
            const int64_t pos = capturePos[s];
            if (pos + frames <= 0) {
                continue;
            }
            const size_t first = pos < 0 ? static_cast<size_t>(-pos) : 0;
            const size_t at = static_cast<size_t>(pos + static_cast<int64_t>(first));
            if (channels == 2 && in[0] != nullptr && in[1] != nullptr) {
                copyPair(&frameBuffer[0][s][at], in[0] + first, &frameBuffer[1][s][at],
                         in[1] + first, count - first);
                continue;
            }
            for (int32_t c = 0; c < channels; ++c) {
                if (in[c] != nullptr) {
                    captureSpan(c, s, in[c], count);
                }
            }
        }
        capturePos[0] += static_cast<int32_t>(count);
        capturePos[1] += static_cast<int32_t>(count);
        return;
    }
    captureCompleting(in, channels, count);
}

void MEftWinBase::captureCompleting(const float* const* in, int32_t channels, size_t count) {
    size_t done = 0;
    while (done < count) {
        // Up to the next sample that completes a slot, nothing but stores
        // happens: copy that span whole into every slot it falls in.
        const size_t span = std::min(count - done, std::min(samplesToFrame(0), samplesToFrame(1)));
        for (int32_t s = 0; s < 2; ++s) {
            if (capturePos[s] + static_cast<int64_t>(span) > 0) {
                for (int32_t c = 0; c < channels; ++c) {
                    if (in[c] != nullptr) {
                        captureSpan(c, s, in[c] + done, span);
                    }
                }
            }
        }
        // No slot completes before the span's last sample, which then
        // completes slot 0 and slot 1 in turn, as every sample does.
        capturePos[0] += static_cast<int32_t>(span);
        capturePos[1] += static_cast<int32_t>(span);
        done += span;
        for (int32_t s = 0; s < 2; ++s) {
            if (capturePos[s] < frameLength) {
                continue;
            }
            if (channels > 1 && in[1] != nullptr) {
                const size_t n = static_cast<size_t>(frameLength);
                if (wideCapture) {
                    fftKernels::addWide(frameBuffer[0][s], frameBuffer[1][s], n);
                } else {
                    fftKernels::addPortable(frameBuffer[0][s], frameBuffer[1][s], n);
                }
            }
            analyseFrame(frameBuffer[0][s], spectrumBuffer[0][s]);
            capturePos[s] = frameLength - 2 * hopLength;
        }
    }
}

size_t MEftWinBase::samplesToFrame(int32_t slot) const {
    // A position already at or past the end completes on the next sample.
    const int64_t left = int64_t{frameLength} - capturePos[slot];
    return left > 0 ? static_cast<size_t>(left) : 1;
}

void MEftWinBase::captureSpan(int32_t channel, int32_t slot, const float* samples, size_t span) {
    // Sample k of the span lands at position capturePos + k when that lies
    // inside the frame.
    const int64_t pos = capturePos[slot];
    const int64_t first = pos < 0 ? -pos : 0;
    const int64_t last = std::min<int64_t>(static_cast<int64_t>(span), int64_t{frameLength} - pos);
    if (first >= last) {
        return;
    }
    copy(&frameBuffer[channel][slot][pos + first], samples + first,
         static_cast<size_t>(last - first));
}

namespace {

// From this many samples on a copy goes to the C library's memcpy, which
// knows the processor's widest moves and keeps loads from waiting on
// stores to the same offset of another page; shorter ones, a short block's,
// do without its dispatch on the size.
constexpr size_t kLibraryCopy = 256;

} // namespace

void MEftWinBase::copy(float* out, const float* in, size_t count) const {
    if (wideCapture && count < kLibraryCopy) {
        fftKernels::copyWide(out, in, count);
    } else {
        std::memcpy(out, in, count * sizeof(float));
    }
}

void MEftWinBase::copyPair(float* out0, const float* in0, float* out1, const float* in1,
                           size_t count) const {
    if (wideCapture && count < kLibraryCopy) {
        fftKernels::copyPairWide(out0, in0, out1, in1, count);
    } else {
        std::memcpy(out0, in0, count * sizeof(float));
        std::memcpy(out1, in1, count * sizeof(float));
    }
}

bool MEftWinBase::separate(const float* out, const float* in, size_t count) {
    const uintptr_t to = reinterpret_cast<uintptr_t>(out);
    const uintptr_t from = reinterpret_cast<uintptr_t>(in);
    const uintptr_t bytes = count * sizeof(float);
    return to + bytes <= from || from + bytes <= to;
}

void MEftWinBase::passThrough(float* out, const float* in, size_t count) const {
    // Hosts pass separate buffers or one for both; anything else is moved
    // as memmove does.
    if (separate(out, in, count)) {
        copy(out, in, count);
    } else if (out != in) {
        std::memmove(out, in, count * sizeof(float));
    }
}
