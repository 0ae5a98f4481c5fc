#pragma once

#include "analysis/MEftBase.h"
#include "analysis/MEftFrmBase.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Frame-capturing analyser: passes the audio through unchanged, collects up
// to two input channels into two frame slots whose starts are one hop apart,
// sums a stereo frame into channel 0 and hands every completed frame to
// analyseFrame. Owns the window table and the frame transform.
class MEftWinBase : public MEftBase {
public:
    static constexpr int32_t kMaxChannels = 2;
    static constexpr int32_t kMaxFrameLength = 1024;
    static constexpr int32_t kSpectrumLength = 2048;
    static constexpr int32_t kWindowLength = 2048;

    MEftWinBase();
    ~MEftWinBase() override;

    MEftWinBase(const MEftWinBase&) = delete;
    MEftWinBase& operator=(const MEftWinBase&) = delete;

    // kRefusedChannels for more than two inputs or inputs != outputs;
    // otherwise applies the frame length and hop fraction, prepares the
    // transform and resets.
    int32_t prepare() override;
    void processAccumulating(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    // Clears the frame slots and restarts the capture.
    void reset() override;

    // n in 1..1024 and accepted by the transform (a power of two): kSuccess,
    // kOutOfRange or the transform's code. Restarts the capture and rebuilds
    // the window.
    virtual int32_t setFrameLength(int32_t n);
    // f > 0: kSuccess or kOutOfRange. Restarts the capture and rebuilds the window.
    virtual int32_t setHopFraction(float f);
    // frame: frame length samples; spectrum: 2048 entries for the results.
    virtual void analyseFrame(float* frame, float* spectrum);
    // Fills window[0..length-1]; rectangular here.
    virtual void makeWindow(int32_t length, int32_t hop);

    int32_t getFrameLength() const { return frameLength; }
    int32_t getHopLength() const { return hopLength; }
    float getHopFraction() const { return hopFraction; }
    const float* getWindow() const { return window; }
    const MEftFrmBase* getTransform() const { return transform.get(); }
    // The copies and the stereo sum in 256-bit vectors where the processor
    // has them (the default), or in the target's baseline vectors: the same
    // bits either way. Returns whether wide vectors are now in use.
    bool useWideCapture(bool on);
    bool usesWideCapture() const { return wideCapture; }

protected:
    enum class Mode { replace, accumulate };

    void processBlock(float** inputs, float** outputs, int32_t sampleFrames, Mode mode);
    // Channels the capture may touch: numInputs limited to 0..2.
    int32_t activeChannels() const;
    // Window entries makeWindow may fill for a requested length.
    static int32_t windowEntries(int32_t length);
    // Samples until slot completes a frame, the completing one included.
    size_t samplesToFrame(int32_t slot) const;
    // Captures count samples of the channels' inputs (null ones skipped, not
    // all of them) into the slots and analyses the frames they complete.
    void capture(const float* const* in, int32_t channels, size_t count);
    // The same for a block in which a slot completes its frame: apart from
    // capture, whose usual blocks need nothing of it.
    [[gnu::noinline]] void captureCompleting(const float* const* in, int32_t channels,
                                             size_t count);
    // out = in, and out0 = in0 with out1 = in1, for count samples that do
    // not overlap.
    void copy(float* out, const float* in, size_t count) const;
    void copyPair(float* out0, const float* in0, float* out1, const float* in1, size_t count) const;
    // Whether count samples at out and at in do not overlap.
    static bool separate(const float* out, const float* in, size_t count);
    // out = in for count samples; they may be the same buffer or overlap.
    void passThrough(float* out, const float* in, size_t count) const;
    // Stores the next span samples of channel into slot where they fall
    // inside the frame; positions are not advanced.
    void captureSpan(int32_t channel, int32_t slot, const float* samples, size_t span);

    int32_t frameLength;
    int32_t hopLength;
    float hopFraction;
    float frameBuffer[kMaxChannels][2][kMaxFrameLength];
    float spectrumBuffer[kMaxChannels][2][kSpectrumLength];
    float window[kWindowLength];
    int32_t capturePos[2];
    std::unique_ptr<MEftFrmBase> transform;
    bool wideCapture;

private:
    // hopLength for fraction f and length n; false when it does not fit the
    // capture's position arithmetic.
    static bool hopFor(float f, int32_t n, int32_t& hop);
};
