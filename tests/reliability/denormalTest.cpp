// Quiet tails and the floating-point mode: the analysis runs with denormals
// flushed, gives the caller its own mode back, and gives the same bits as
// before for every frame of normal samples.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "analysis/DenormalGuard.h"
#include "analysis/tq_spectrumCore.h"
#include "tests/reliability/StereoBlock.h"
#include "tests/reliability/TestSignal.h"
#include "tests/reliability/UnguardedCore.h"

namespace {

bool sameBits(const float* a, const float* b, size_t count) {
    return std::memcmp(a, b, count * sizeof(float)) == 0;
}

bool allZero(const float* values, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (values[i] != 0.0f) {
            return false;
        }
    }
    return true;
}

// Feeds both cores the same blocks of `kind` scaled by `scale`.
void feedBoth(tq_spectrumCore& guarded, tq_spectrumCore& plain, TestSignal::Kind kind, float scale,
              size_t frames, uint32_t seed) {
    StereoBlock block(frames);
    TestSignal signal(seed);
    signal.fill(kind, block.input(0), block.input(1), frames);
    for (size_t i = 0; i < frames; ++i) {
        block.input(0)[i] *= scale;
        block.input(1)[i] *= scale;
    }
    guarded.process(block.inputs(), block.outputs(), static_cast<int32_t>(frames));
    plain.process(block.inputs(), block.outputs(), static_cast<int32_t>(frames));
}

} // namespace

TEST(DenormalTail, NormalSamplesGiveTheSameBitsAsWithoutTheGuard) {
    tq_spectrumCore guarded;
    UnguardedCore plain;
    TestSignal sizes(31);
    // Loud down to 240 dB below full scale: samples that are still normal.
    for (const float scale : {8.0f, 1.0f, 1e-3f, 1e-6f, 1e-12f}) {
        for (int32_t block = 0; block < 40; ++block) {
            const size_t frames = static_cast<size_t>(sizes.between(1, 4096));
            feedBoth(guarded, plain, TestSignal::Kind::loud, scale, frames, sizes.next());
            ASSERT_TRUE(sameBits(guarded.getFft()->getRe(), plain.getFft()->getRe(), 1024))
                << "scale " << scale << ", block " << block;
            ASSERT_TRUE(sameBits(guarded.getFft()->getIm(), plain.getFft()->getIm(), 1024));
            for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
                ASSERT_EQ(guarded.bandLevel[b].load(), plain.bandLevel[b].load()) << "band " << b;
            }
        }
    }
    EXPECT_GT(guarded.bandLevel[10].load(), 0.0f) << "frames were analysed";
}

TEST(DenormalTail, DenormalFramesAreFlushedWhereTheProcessorCan) {
    tq_spectrumCore guarded;
    UnguardedCore plain;
    // One frame of a tone held in the denormal range.
    feedBoth(guarded, plain, TestSignal::Kind::loud, 1e-39f, 1024, 5);
    EXPECT_FALSE(allZero(plain.getFft()->getRe(), 1024)) << "without the guard: denormal bins";
    EXPECT_EQ(allZero(guarded.getFft()->getRe(), 1024), DenormalGuard::supported());
    EXPECT_EQ(allZero(guarded.getFft()->getIm(), 1024), DenormalGuard::supported());
    // Far below -30 dB either way: no level rises.
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        EXPECT_EQ(guarded.bandLevel[b].load(), 0.0f);
        EXPECT_EQ(plain.bandLevel[b].load(), 0.0f);
    }
}

TEST(DenormalTail, TheCallersModeComesBack) {
    tq_spectrumCore core;
    StereoBlock block(4096);
    TestSignal signal(8);
    signal.fill(TestSignal::Kind::loud, block.input(0), block.input(1), 4096);
    ASSERT_FALSE(DenormalGuard::flushing()) << "threads start without flushing";
    core.process(block.inputs(), block.outputs(), 4096);
    EXPECT_FALSE(DenormalGuard::flushing()) << "the host's mode is its own";
    {
        const DenormalGuard outer;
        EXPECT_EQ(DenormalGuard::flushing(), DenormalGuard::supported());
        core.process(block.inputs(), block.outputs(), 4096);
        EXPECT_EQ(DenormalGuard::flushing(), DenormalGuard::supported()) << "nesting keeps it";
    }
    EXPECT_FALSE(DenormalGuard::flushing());
    // A denormal computed here, after the analysis, is kept.
    volatile float tiny = std::numeric_limits<float>::min();
    EXPECT_GT(tiny * 0.5f, 0.0f);
}
