// The display's fall: one step of 0.2 per refresh interval on the tick
// clock, however often the host idles, computed in single precision.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "PluginRig.h"
#include "toolkit/CVuMeter.h"

namespace {

struct RateCase {
    float rate;
    int32_t interval;
};

class EditorDecay : public testing::TestWithParam<RateCase> {};

// Idles every `period` ms for `total` ms; returns the clock times at which
// band 0 was lowered. The band is put back to 1 before every idle.
std::vector<uint32_t> stepTimes(PluginRig& rig, uint32_t period, uint32_t total) {
    std::vector<uint32_t> times;
    const uint32_t start = HeadlessSystem::ticks();
    for (uint32_t t = 0; t < total; t += period) {
        rig.core()->bandLevel[0].store(1.0f);
        rig.idleAfter(period);
        if (rig.core()->bandLevel[0].load() < 1.0f) {
            times.push_back(HeadlessSystem::ticks() - start);
        }
    }
    return times;
}

} // namespace

TEST_P(EditorDecay, RefreshIntervalIsTheHopInWholeMilliseconds) {
    PluginRig rig(GetParam().rate);
    ASSERT_TRUE(rig.open());
    EXPECT_EQ(rig.editor()->refreshInterval, GetParam().interval);
}

TEST_P(EditorDecay, IdleEveryMillisecondStepsJustPastEachInterval) {
    PluginRig rig(GetParam().rate);
    ASSERT_TRUE(rig.open());
    const uint32_t gap = uint32_t(GetParam().interval) + 1; // "more than" the interval
    const auto times = stepTimes(rig, 1, 5 * gap);
    ASSERT_EQ(times.size(), 5u);
    for (size_t n = 0; n < times.size(); ++n) {
        EXPECT_EQ(times[n], gap * uint32_t(n + 1)) << "step " << n;
    }
}

TEST_P(EditorDecay, IdleEveryTenMillisecondsStillStepsOncePerInterval) {
    PluginRig rig(GetParam().rate);
    ASSERT_TRUE(rig.open());
    // The first idle past the interval steps; the next ones wait again.
    const uint32_t gap = (uint32_t(GetParam().interval) / 10 + 1) * 10;
    const auto times = stepTimes(rig, 10, 2000);
    ASSERT_EQ(times.size(), 2000u / gap);
    for (size_t n = 0; n < times.size(); ++n) {
        EXPECT_EQ(times[n], gap * uint32_t(n + 1)) << "step " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, EditorDecay,
                         testing::Values(RateCase{44100.0f, 92}, RateCase{48000.0f, 85},
                                         RateCase{88200.0f, 46}, RateCase{96000.0f, 42}),
                         [](const testing::TestParamInfo<RateCase>& info) {
                             return "At" + std::to_string(int(info.param.rate));
                         });

TEST(EditorDecayStep, ManyIdlesAtOneInstantStepOnce) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    rig.core()->bandLevel[3].store(1.0f);
    HeadlessSystem::advanceTicks(500);
    for (int32_t i = 0; i < 50; ++i) {
        rig.idle();
    }
    EXPECT_FLOAT_EQ(rig.core()->bandLevel[3].load(), 0.8f);
}

TEST(EditorDecayStep, TheTickCountWrappingAroundKeepsThePace) {
    PluginRig rig;
    HeadlessSystem::setTicks(0xFFFFFFFFu - 150u);
    ASSERT_TRUE(rig.open());
    const auto times = stepTimes(rig, 1, 5 * 93);
    EXPECT_EQ(times, (std::vector<uint32_t>{93, 186, 279, 372, 465}));
    EXPECT_LT(HeadlessSystem::ticks(), 1000u) << "the clock did wrap";
}

TEST(EditorDecayStep, FullScaleFallsInFiveSinglePrecisionSteps) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    tq_spectrumCore* core = rig.core();
    for (auto& level : core->bandLevel) {
        level.store(1.0f);
    }
    const float expected[] = {0.8f, 0.6f, 0.4f, 0.2f};
    for (float value : expected) {
        rig.decayStep();
        for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
            ASSERT_NEAR(core->bandLevel[i].load(), value, 1e-6f) << "band " << i;
            ASSERT_EQ(rig.editor()->bars[i]->getValue(), core->bandLevel[i].load());
        }
    }
    rig.decayStep();
    const float residue = core->bandLevel[0].load();
    EXPECT_GT(residue, 0.0f) << "single precision leaves a residue";
    EXPECT_LT(residue, 1e-7f);
    rig.decayStep();
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        ASSERT_EQ(core->bandLevel[i].load(), 0.0f);
        ASSERT_FALSE(std::signbit(core->bandLevel[i].load()));
    }
}

TEST(EditorDecayStep, LevelsNeverGoBelowZero) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    tq_spectrumCore* core = rig.core();
    const float start[] = {0.0f, 0.05f, 0.1999999f, 0.2f, 0.3f};
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        core->bandLevel[i].store(start[i % 5]);
    }
    for (int32_t step = 0; step < 4; ++step) {
        rig.decayStep();
        for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
            const float level = core->bandLevel[i].load();
            ASSERT_GE(level, 0.0f) << "band " << i << " step " << step;
            ASSERT_FALSE(std::signbit(level));
            ASSERT_GE(rig.editor()->bars[i]->getValue(), 0.0f);
        }
    }
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        EXPECT_EQ(core->bandLevel[i].load(), 0.0f);
    }
}

TEST(EditorDecayStep, AnAnalysedToneRaisesItsBandAndFallsBack) {
    PluginRig rig;
    ASSERT_TRUE(rig.openAndIdle());
    // Bin 100 lies in band 18 of the linear axis (bins 96 to 100).
    rig.playSine(100, 4096 * 3);
    tq_spectrumCore* core = rig.core();
    EXPECT_EQ(core->bandLevel[18].load(), 1.0f);
    EXPECT_EQ(core->bandLevel[60].load(), 0.0f);
    rig.decayStep();
    EXPECT_FLOAT_EQ(core->bandLevel[18].load(), 0.8f);
    EXPECT_FLOAT_EQ(rig.editor()->bars[18]->getValue(), 0.8f);
}
