// Soak: the whole life of a plug-in, over and over: create, play a second of
// audio, open the editor, idle it, close it, destroy. Nothing may be left
// behind (the heap returns to where it stood after the first life, and
// LeakSanitizer finds nothing at exit). Also the memory one instance with
// an open editor costs.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/reliability/StereoBlock.h"
#include "tests/reliability/TestHost.h"
#include "tests/reliability/TestSignal.h"

// Present only in a sanitizer build, which then owns the heap.
extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace {

constexpr size_t kSecond = 44100;
constexpr size_t kBlock = 512;
// Lives before the heap is expected to stay level.
constexpr int32_t kWarmUp = 20;

// Bytes the program holds on the heap right now.
size_t heapInUse() {
    if (__sanitizer_get_current_allocated_bytes) {
        return __sanitizer_get_current_allocated_bytes();
    }
    // Large blocks live in their own mappings, the rest in the arenas.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Resident pages of the process, in bytes.
size_t residentBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) {
        return 0;
    }
    unsigned long size = 0;
    unsigned long resident = 0;
    const int read = std::fscanf(statm, "%lu %lu", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * 4096ul : 0;
}

int32_t soakCycles() {
    const char* text = std::getenv("TQ_SOAK_CYCLES");
    const int32_t cycles = text ? std::atoi(text) : 1000;
    return cycles > 2 * kWarmUp ? cycles : 2 * kWarmUp;
}

// One second of loud stereo audio, made once.
class OneSecond {
public:
    OneSecond() : block(kSecond) {
        TestSignal signal(17);
        for (size_t at = 0; at < kSecond; at += kBlock) {
            const size_t frames = std::min(kBlock, kSecond - at);
            signal.fill(TestSignal::Kind::loud, block.input(0) + at, block.input(1) + at, frames);
        }
    }
    // Plays it in host-sized blocks; false if any sample came out changed.
    bool playThrough(const TestHost& host) {
        for (size_t at = 0; at < kSecond; at += kBlock) {
            const VstInt32 frames = static_cast<VstInt32>(std::min(kBlock, kSecond - at));
            float* in[2] = {block.input(0) + at, block.input(1) + at};
            float* out[2] = {block.output(0) + at, block.output(1) + at};
            host.processReplacing(in, out, frames);
        }
        return block.passedThrough(0, kSecond) && block.passedThrough(1, kSecond);
    }

private:
    StereoBlock block;
};

} // namespace

TEST(Soak, ManyLivesLeaveNothingBehind) {
    HeadlessSystem::reset();
    OneSecond audio;
    const int32_t cycles = soakCycles();
    size_t settled = 0;
    int32_t failures = 0;
    for (int32_t cycle = 0; cycle < cycles; ++cycle) {
        {
            HeadlessWindow window;
            TestHost host;
            if (!host.effect()) {
                ++failures;
                break;
            }
            const bool intact = audio.playThrough(host) && host.highestLevel() > 0.5f;
            const bool opened = host.dispatch(effEditOpen, 0, 0, window.handle()) == 1;
            for (int32_t i = 0; i < 4; ++i) {
                HeadlessSystem::advanceTicks(100);
                host.dispatch(effEditIdle);
            }
            const bool drawn = window.presentCount() > 0;
            host.dispatch(effEditClose);
            const bool closed = host.close() == 1 && !window.hasChild();
            if (!(intact && opened && drawn && closed)) {
                ++failures;
            }
        }
        // The first lives fill the process-wide caches (glyphs) and the C
        // library's per-thread free lists, which count as in use; from then
        // on every life must give back all it took.
        if (cycle == kWarmUp) {
            settled = heapInUse();
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(heapInUse(), settled) << "bytes kept after " << cycles << " lives";
    EXPECT_EQ(HeadlessSystem::oleDepth(), 0);
    std::printf("soak: %d lives\n", cycles);
}

TEST(Soak, ResidentMemoryPerInstanceWithTheEditorOpen) {
    constexpr int32_t kInstances = 50;
    constexpr double kMiB = 1024.0 * 1024.0;
    if (__sanitizer_get_current_allocated_bytes) {
        GTEST_SKIP() << "a sanitizer's shadow memory and red zones hide the figure";
    }
    HeadlessSystem::reset();
    {
        // Process-wide caches are not the instances' cost.
        HeadlessWindow window;
        TestHost warm;
        warm.dispatch(effEditOpen, 0, 0, window.handle());
        warm.dispatch(effEditIdle);
    }
    StereoBlock block(4096);
    TestSignal signal(4);
    signal.fill(TestSignal::Kind::loud, block.input(0), block.input(1), 4096);
    std::vector<std::unique_ptr<HeadlessWindow>> windows;
    std::vector<std::unique_ptr<TestHost>> hosts;
    windows.reserve(kInstances);
    hosts.reserve(kInstances);
    // Freed memory of earlier tests must not be counted as reused.
    malloc_trim(0);
    const size_t residentBefore = residentBytes();
    const size_t heapBefore = heapInUse();
    for (int32_t i = 0; i < kInstances; ++i) {
        windows.push_back(std::make_unique<HeadlessWindow>());
        hosts.push_back(std::make_unique<TestHost>());
        hosts.back()->processReplacing(block.inputs(), block.outputs(), 4096);
        ASSERT_EQ(hosts.back()->dispatch(effEditOpen, 0, 0, windows.back()->handle()), 1);
        hosts.back()->dispatch(effEditIdle);
    }
    const double resident =
        (static_cast<double>(residentBytes()) - static_cast<double>(residentBefore)) / kInstances;
    const double heap =
        (static_cast<double>(heapInUse()) - static_cast<double>(heapBefore)) / kInstances;
    // The host's window keeps a copy of what it was shown: the host's memory.
    const double hostWindow = static_cast<double>(windows[0]->pixels().size() * sizeof(uint32_t));
    std::printf("per instance with the editor open: resident %.2f MiB (%.2f MiB without the "
                "host window's picture), heap %.2f MiB\n",
                resident / kMiB, (resident - hostWindow) / kMiB, heap / kMiB);
    RecordProperty("residentKiBPerInstance", static_cast<int>(resident / 1024.0));
    RecordProperty("pluginResidentKiBPerInstance",
                   static_cast<int>((resident - hostWindow) / 1024.0));
    EXPECT_LE(resident - hostWindow, 2.0 * kMiB);
    hosts.clear();
}
