// Counts heap allocations while the host's audio thread runs the plug-in:
// the audio path must never allocate, analysed frames included.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "shell/tq_spectrum.h"
#include "shell/vstPluginMain.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void noteAllocation() {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

} // namespace

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* ptr, size_t size);
void __libc_free(void* ptr);

void* malloc(size_t size) {
    noteAllocation();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    noteAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* ptr, size_t size) {
    noteAllocation();
    return __libc_realloc(ptr, size);
}
}

void* operator new(size_t size) {
    noteAllocation();
    if (void* p = __libc_malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](size_t size) {
    return operator new(size);
}

void operator delete(void* p) noexcept {
    __libc_free(p);
}

void operator delete[](void* p) noexcept {
    __libc_free(p);
}

void operator delete(void* p, size_t) noexcept {
    __libc_free(p);
}

void operator delete[](void* p, size_t) noexcept {
    __libc_free(p);
}

namespace {

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

} // namespace

TEST(AudioThread, ProcessReplacingNeverAllocates) {
    AEffect* effect = VSTPluginMain(host);
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 4096, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

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

    const auto* core = static_cast<tq_spectrum*>(effect->object)->getCore();
    long frames = 0;
    counting = true;
    for (int size : sizes) {
        effect->processReplacing(effect, ins, outs, size);
        frames += size;
    }
    counting = false;

    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(frames, 4096L * 100) << "hundreds of frames were analysed";
    float loudest = 0.0f;
    for (const auto& band : core->bandLevel) {
        loudest = std::max(loudest, band.load());
    }
    EXPECT_GT(loudest, 0.5f) << "the analysis did run";
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(AudioThread, CounterSeesAllocations) {
    // Guards the test above against a counter that cannot count.
    counting = true;
    auto* p = new std::vector<int>(10);
    counting = false;
    delete p;
    EXPECT_GE(allocations.exchange(0), 2);
}
