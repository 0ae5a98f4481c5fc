#include "tests/support/allocationHook.h"

#include "analysis/MEftBase.h"
#include "analysis/MEftWinBase.h"
#include "analysis/MEftWinFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// Keeps a copy of every frame handed to analyseFrame.
template <class Base>
class Recorder : public Base {
public:
    void analyseFrame(float* frame, float* spectrum) override {
        frames.emplace_back(frame, frame + this->getFrameLength());
        Base::analyseFrame(frame, spectrum);
    }
    std::vector<std::vector<float>> frames;
};

// Feeds a two-channel signal in the given repeating block sizes.
void feed(MEftBase& p, std::vector<float>& left, std::vector<float>* right,
          const std::vector<int32_t>& blocks) {
    std::vector<float> outL(left.size()), outR(left.size());
    size_t pos = 0;
    for (size_t b = 0; pos < left.size(); ++b) {
        const size_t n =
            std::min<size_t>(static_cast<size_t>(blocks[b % blocks.size()]), left.size() - pos);
        float* in[2] = {left.data() + pos, right ? right->data() + pos : nullptr};
        float* out[2] = {outL.data() + pos, outR.data() + pos};
        p.processReplacing(in, out, static_cast<int32_t>(n));
        pos += n;
    }
}

std::vector<float> ramp(size_t n, size_t from = 0) {
    std::vector<float> x(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = static_cast<float>(from + i);
    }
    return x;
}

// Index of the last sample of every frame recorded: the frame was analysed
// once that many samples plus one had arrived.
template <class R>
std::vector<float> lastSamples(const R& r) {
    std::vector<float> out;
    for (const auto& f : r.frames) {
        out.push_back(f.back());
    }
    return out;
}

} // namespace

TEST(FrameCapture, HalfOverlapTimingAcrossOddBlocks) {
    for (const std::vector<int32_t>& blocks :
         {std::vector<int32_t>{1}, {7, 333}, {1000}, {4097}, {511, 2, 1}}) {
        Recorder<MEftWinBase> r;
        ASSERT_EQ(r.prepare(), 0);
        auto left = ramp(3072);
        std::vector<float> right(3072, 0.0f);
        feed(r, left, &right, blocks);
        EXPECT_EQ(lastSamples(r), (std::vector<float>{1023, 1535, 2047, 2559, 3071}));
        ASSERT_EQ(r.frames.size(), 5u);
        EXPECT_EQ(r.frames[1][0], 512.0f);
        EXPECT_EQ(r.frames[4][0], 2048.0f);
    }
}

TEST(FrameCapture, LongHopTakesOneFrameInFour) {
    Recorder<MEftWinBase> r;
    ASSERT_EQ(r.prepare(), 0);
    ASSERT_EQ(r.setHopFraction(4.0f), 0);
    EXPECT_EQ(r.getHopLength(), 4096);
    auto left = ramp(14000);
    feed(r, left, nullptr, {1, 4095, 3, 777});
    EXPECT_EQ(lastSamples(r), (std::vector<float>{1023, 5119, 9215, 13311}));
    EXPECT_EQ(r.frames[3][0], 12288.0f);
}

TEST(FrameCapture, ShortHopRestartsInsideTheSlot) {
    Recorder<MEftWinBase> r;
    ASSERT_EQ(r.prepare(), 0);
    ASSERT_EQ(r.setHopFraction(0.25f), 0);
    auto left = ramp(2048);
    feed(r, left, nullptr, {100});
    EXPECT_EQ(lastSamples(r), (std::vector<float>{1023, 1279, 1535, 1791, 2047}));
    // Slot 0's second frame keeps positions 0..511 from its first.
    EXPECT_EQ(r.frames[2][0], 0.0f);
    EXPECT_EQ(r.frames[2][512], 1024.0f);
}

TEST(FrameCapture, StereoFramesAreSummed) {
    Recorder<MEftWinBase> r;
    ASSERT_EQ(r.prepare(), 0);
    std::vector<float> left(1024, 0.25f), right(1024, 0.25f);
    feed(r, left, &right, {256});
    ASSERT_EQ(r.frames.size(), 1u);
    for (float v : r.frames[0]) {
        ASSERT_EQ(v, 0.5f);
    }

    Recorder<MEftWinBase> mono;
    ASSERT_EQ(mono.prepare(), 0);
    feed(mono, left, nullptr, {256});
    ASSERT_EQ(mono.frames.size(), 1u);
    EXPECT_EQ(mono.frames[0][1000], 0.25f);
}

TEST(FrameCapture, PassThroughIsBitExact) {
    MEftWinFft analyser;
    ASSERT_EQ(analyser.prepare(), 0);
    std::vector<float> left(3000), right(3000);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = std::sin(static_cast<float>(i) * 0.01f) * 1e-3f;
        right[i] = static_cast<float>(i) * -1e7f;
    }
    left[5] = std::numeric_limits<float>::quiet_NaN();
    right[6] = std::numeric_limits<float>::denorm_min();
    std::vector<float> outL(3000, 9.0f), outR(3000, 9.0f);
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outL.data(), outR.data()};
    analyser.processReplacing(in, out, 3000);
    EXPECT_EQ(std::memcmp(outL.data(), left.data(), 3000 * sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(outR.data(), right.data(), 3000 * sizeof(float)), 0);

    auto copyL = left;
    analyser.processReplacing(in, in, 3000);
    EXPECT_EQ(std::memcmp(copyL.data(), left.data(), 3000 * sizeof(float)), 0);
}

TEST(FrameCapture, AccumulatingAddsThenCaptures) {
    Recorder<MEftWinBase> r;
    ASSERT_EQ(r.prepare(), 0);
    std::vector<float> left(1024, 1.0f), outL(1024, 2.0f);
    float* in[2] = {left.data(), nullptr};
    float* out[2] = {outL.data(), nullptr};
    r.processAccumulating(in, out, 1024);
    EXPECT_EQ(outL[0], 3.0f);
    EXPECT_EQ(outL[1023], 3.0f);
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0][0], 1.0f);
}

TEST(FrameCapture, MissingBuffersAndEmptyBlocks) {
    Recorder<MEftWinBase> r;
    ASSERT_EQ(r.prepare(), 0);
    std::vector<float> left(1024, 1.0f), outL(1024, 7.0f), outR(1024, 7.0f);
    float* in[2] = {left.data(), nullptr};
    float* out[2] = {outL.data(), outR.data()};
    r.processReplacing(in, out, 0);
    r.processReplacing(in, out, -5);
    r.processReplacing(nullptr, nullptr, 512);
    EXPECT_EQ(outL[0], 7.0f);
    EXPECT_EQ(outR[0], 7.0f);
    // Nothing captured so far: the first frame still needs 1024 samples.
    float* noOut[2] = {nullptr, outR.data()};
    r.processReplacing(in, noOut, 1023);
    EXPECT_TRUE(r.frames.empty());
    EXPECT_EQ(outR[0], 7.0f);
    r.processReplacing(in, nullptr, 1);
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0][0], 1.0f);

    // Channel counts beyond two are never indexed past the two slots.
    r.setNumInputs(5);
    float* in5[5] = {left.data(), left.data(), left.data(), left.data(), left.data()};
    float* out5[5] = {outL.data(), outR.data(), nullptr, nullptr, nullptr};
    r.processReplacing(in5, out5, 1024);
    EXPECT_EQ(outR[0], 1.0f);
}

TEST(FrameCapture, PrepareRefusesChannelLayouts) {
    for (auto [ins, outs] : {std::pair{3, 3}, std::pair{1, 2}}) {
        Recorder<MEftWinBase> r;
        ASSERT_EQ(r.prepare(), 0);
        ASSERT_EQ(r.setHopFraction(4.0f), 0);
        auto left = ramp(100);
        feed(r, left, nullptr, {100});
        r.setNumInputs(ins);
        r.setNumOutputs(outs);
        EXPECT_EQ(r.prepare(), -1);
        EXPECT_EQ(r.getHopLength(), 4096);
        r.setNumInputs(2);
        r.setNumOutputs(2);
        // The capture was not restarted: sample 1023 still ends the frame.
        auto rest = ramp(924, 100);
        feed(r, rest, nullptr, {924});
        EXPECT_EQ(lastSamples(r), std::vector<float>{1023});
    }
}

TEST(FrameCapture, RefusedSettingsChangeNothing) {
    Recorder<MEftWinFft> r;
    ASSERT_EQ(r.prepare(), 0);
    for (float f : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::infinity(), 1e30f}) {
        EXPECT_EQ(r.setHopFraction(f), 22) << f;
    }
    for (int32_t n : {0, -1, 2000, 1000, 2048}) {
        EXPECT_EQ(r.setFrameLength(n), 22) << n;
    }
    EXPECT_EQ(r.getHopFraction(), 0.5f);
    EXPECT_EQ(r.getFrameLength(), 1024);
    // A power of two above 1024 must not have resized the transform.
    EXPECT_EQ(r.getFft()->getSize(), 1024);
    EXPECT_TRUE(r.getFft()->isReady());
}

TEST(FrameCapture, SettingsDiscardFramesInProgress) {
    for (int which = 0; which < 2; ++which) {
        Recorder<MEftWinBase> r;
        ASSERT_EQ(r.prepare(), 0);
        auto first = ramp(700);
        feed(r, first, nullptr, {700});
        ASSERT_EQ(which == 0 ? r.setHopFraction(0.5f) : r.setFrameLength(1024), 0);
        auto second = ramp(1536, 700);
        feed(r, second, nullptr, {64});
        EXPECT_EQ(lastSamples(r), (std::vector<float>{1723, 2235})) << which;
        EXPECT_EQ(r.frames[0][0], 700.0f);
    }
}

TEST(FrameCapture, BaseProcessorCopiesChannelZero) {
    MEftBase base;
    std::vector<float> left(8, 1.5f), outL(8, 0.5f), outR(8, 0.5f);
    float* in[2] = {left.data(), left.data()};
    float* out[2] = {outL.data(), outR.data()};
    base.processAccumulating(in, out, 8);
    EXPECT_EQ(outL[7], 2.0f);
    base.processReplacing(in, out, 8);
    EXPECT_EQ(outL[7], 1.5f);
    EXPECT_EQ(outR[7], 0.5f);
    base.processReplacing(nullptr, out, 8);
    base.processReplacing(in, out, -1);
}

namespace {

class ProtocolRecorder : public MEftBase {
public:
    int32_t setSampleRate(float rate) override {
        calls += "rate ";
        MEftBase::setSampleRate(rate);
        return rateResult;
    }
    int32_t setBlockSize(int32_t n) override {
        calls += "block ";
        return MEftBase::setBlockSize(n);
    }
    void reset() override { calls += "reset "; }
    void updateHook() override { calls += "update "; }
    std::string calls;
    int32_t rateResult = 0;
};

} // namespace

TEST(FrameCapture, BasePrepareOrder) {
    ProtocolRecorder p;
    EXPECT_EQ(p.prepare(), 0);
    EXPECT_EQ(p.calls, "update rate block update reset ");
    p.calls.clear();
    p.rateResult = 22;
    EXPECT_EQ(p.prepare(), 22);
    EXPECT_EQ(p.calls, "update rate update reset ");
}

TEST(WindowedFft, PrepareCreatesTheTransformOnce) {
    MEftWinFft analyser;
    EXPECT_EQ(analyser.getFft(), nullptr);
    ASSERT_EQ(analyser.prepare(), 0);
    const MEftFrmFft* fft = analyser.getFft();
    ASSERT_NE(fft, nullptr);
    EXPECT_TRUE(fft->isReady());
    allocationHook::startCounting();
    EXPECT_EQ(analyser.prepare(), 0);
    EXPECT_EQ(allocationHook::stopCounting(), 0u);
    EXPECT_EQ(analyser.getFft(), fft);
}

TEST(WindowedFft, AllocationFailuresAreReportedAndSkipped) {
    Recorder<MEftWinFft> r;
    allocationHook::failNothrowAllocation(1);
    EXPECT_EQ(r.prepare(), 18);
    EXPECT_EQ(r.getFft(), nullptr);
    allocationHook::failNothrowAllocation(3);
    EXPECT_EQ(r.prepare(), 13);
    allocationHook::clearFailure();
    ASSERT_NE(r.getFft(), nullptr);
    EXPECT_FALSE(r.getFft()->isReady());
    // Frames still reach analyseFrame; the transform leaves them alone.
    std::vector<float> left(1024, 1.0f);
    feed(r, left, nullptr, {1024});
    EXPECT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.prepare(), 0);
    EXPECT_TRUE(r.getFft()->isReady());
}

TEST(WindowedFft, NoAllocationWhileProcessing) {
    MEftWinFft analyser;
    ASSERT_EQ(analyser.prepare(), 0);
    std::vector<float> left(333, 0.5f), right(333, -0.25f);
    float* io[2] = {left.data(), right.data()};
    allocationHook::startCounting();
    for (int i = 0; i < 20; ++i) {
        analyser.processReplacing(io, io, 333);
    }
    EXPECT_EQ(allocationHook::stopCounting(), 0u);
}
