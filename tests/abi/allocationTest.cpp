// Counts heap allocations, C and C++ alike, while the host's audio thread
// runs the plug-in: the audio path must never allocate, analysed frames
// included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "tests/reliability/TestHost.h"
#include "tests/support/allocationHook.h"

TEST(AudioThread, ProcessReplacingNeverAllocates) {
    TestHost host;
    ASSERT_NE(host.effect(), nullptr);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.dispatch(effSetBlockSize, 0, 4096);
    host.dispatch(effMainsChanged, 0, 1);

    std::mt19937 rng(5);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::uniform_int_distribution<int> blockSize(1, 4096);
    std::vector<float> left(4096), right(4096), outLeft(4096), outRight(4096);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = noise(rng);
        right[i] = std::sin(0.05f * static_cast<float>(i));
    }
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {outLeft.data(), outRight.data()};
    std::vector<int> sizes(5000);
    for (int& size : sizes) {
        size = blockSize(rng);
    }

    long frames = 0;
    allocationHook::startCounting();
    for (int size : sizes) {
        host.processReplacing(ins, outs, size);
        frames += size;
    }
    EXPECT_EQ(allocationHook::stopCounting(), 0u);
    EXPECT_GT(frames, 4096L * 100) << "hundreds of frames were analysed";
    EXPECT_GT(host.highestLevel(), 0.5f) << "the analysis did run";
}

TEST(AudioThread, CounterSeesAllocations) {
    // Guards the test above against a counter that cannot count: C++ and C.
    allocationHook::startCounting();
    auto* p = new std::vector<int>(10);
    EXPECT_GE(allocationHook::stopCounting(), 2u);
    delete p;
    static void* volatile kept = nullptr;
    allocationHook::startCounting();
    kept = std::malloc(16);
    EXPECT_GE(allocationHook::stopCounting(), 1u);
    std::free(kept);
}
