// A dozen instances at once, as users load them: each has its own core and
// window, hears its own tone and shows only its own bands.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/reliability/StereoBlock.h"
#include "tests/reliability/TestHost.h"

namespace {

constexpr int32_t kInstances = 12;

// A tone of amplitude 0.05 (about +29 dB in its bin) at the centre of the
// second bin of linear band `band`, whose bins start at 16 band / 3.
void fillTone(StereoBlock& block, int32_t band, size_t frames) {
    const double bin = static_cast<double>((16 * band) / 3 + 1);
    for (size_t i = 0; i < frames; ++i) {
        const float x = static_cast<float>(
            std::sin(2.0 * 3.14159265358979 * bin * static_cast<double>(i) / 1024.0));
        block.input(0)[i] = x;
        block.input(1)[i] = x;
    }
}

} // namespace

TEST(ManyInstances, EachHearsAndShowsOnlyItsOwnAudio) {
    HeadlessSystem::reset();
    std::vector<std::unique_ptr<TestHost>> hosts;
    std::vector<std::unique_ptr<HeadlessWindow>> windows;
    for (int32_t i = 0; i < kInstances; ++i) {
        hosts.push_back(std::make_unique<TestHost>());
        windows.push_back(std::make_unique<HeadlessWindow>());
        ASSERT_EQ(hosts[i]->dispatch(effEditOpen, 0, 0, windows[i]->handle()), 1);
    }
    // Each instance i hears a tone in band 6 + 7 i, the others nothing of it.
    StereoBlock block(8192);
    for (int32_t i = 0; i < kInstances; ++i) {
        fillTone(block, 6 + 7 * i, 8192);
        hosts[i]->processReplacing(block.inputs(), block.outputs(), 8192);
        ASSERT_TRUE(block.passedThrough(0, 8192));
    }
    for (int32_t i = 0; i < kInstances; ++i) {
        const tq_spectrumCore& core = hosts[i]->core();
        for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
            const float level = core.bandLevel[b].load();
            if (b == 6 + 7 * i) {
                EXPECT_GT(level, 0.9f) << "instance " << i << " band " << b;
            } else if (std::abs(b - (6 + 7 * i)) > 2) {
                EXPECT_LT(level, 0.5f) << "instance " << i << " band " << b;
            }
        }
    }
    // Every window draws; one instance's menu choice stays its own.
    windows[3]->scriptPopupChoice(3); // Logarithmic
    windows[3]->click(37, 10);
    for (int32_t step = 0; step < 20; ++step) {
        HeadlessSystem::advanceTicks(10);
        for (const auto& host : hosts) {
            host->dispatch(effEditIdle);
        }
    }
    for (int32_t i = 0; i < kInstances; ++i) {
        EXPECT_GT(windows[i]->presentCount(), 0u) << i;
        EXPECT_EQ(hosts[i]->editor().scaleMode, i == 3 ? 1 : 0) << i;
        EXPECT_EQ(hosts[i]->core().bandStartBin[96].load(), i == 3 ? 2321 : 512) << i;
    }
    // Closed and deleted out of order, half of them with the editor open.
    for (int32_t i = 0; i < kInstances; i += 2) {
        hosts[i]->dispatch(effEditClose);
    }
    for (int32_t i = kInstances - 1; i >= 0; --i) {
        EXPECT_EQ(hosts[i]->close(), 1);
        EXPECT_FALSE(windows[i]->hasChild());
    }
    EXPECT_EQ(HeadlessSystem::oleDepth(), 0);
}
