// Which transform bins each band shows, and what the nine labels under the
// plot say, for both axes and the host's sample rates.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "PluginRig.h"

namespace {

// Opens the editor at `rate`, on the logarithmic axis when asked.
std::vector<int32_t> tableAt(float rate, bool logarithmic) {
    PluginRig rig(rate);
    EXPECT_TRUE(rig.open());
    if (logarithmic) {
        rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    }
    return rig.bandTable();
}

const std::vector<std::string> kLinear48 = {"  0",   "3.0k",  "6.0k",  "9.0k", "12.0k",
                                            "15.0k", "18.0k", "21.0k", "24.0k"};

} // namespace

TEST(BandTable, LinearIsSixteenThirdsPerBandAtEveryRate) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 22050.0f}) {
        const auto bins = tableAt(rate, false);
        for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
            ASSERT_EQ(bins[size_t(i)], 16 * i / 3) << "band " << i << " at " << rate;
        }
        EXPECT_EQ(bins[96], 512) << "the last band starts at the top and stays silent";
    }
}

TEST(BandTable, LogarithmicAt44100) {
    const auto bins = tableAt(44100.0f, true);
    for (int32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(bins[size_t(i)], 0) << "band " << i;
    }
    EXPECT_GT(bins[16], 0);
    EXPECT_EQ(bins[80], 500);
    EXPECT_EQ(bins[81], 550);
    EXPECT_EQ(bins[82], 606);
    EXPECT_EQ(bins[96], 2321);
    for (int32_t i = 81; i < SpectrumLayout::kBandCount; ++i) {
        EXPECT_GE(bins[size_t(i)], 512) << "band " << i << " lies above half the rate";
    }
    for (int32_t i = 1; i < SpectrumLayout::kBandCount; ++i) {
        EXPECT_GE(bins[size_t(i)], bins[size_t(i - 1)]);
    }
}

TEST(BandTable, LogarithmicLastBandFollowsTheRate) {
    EXPECT_EQ(tableAt(48000.0f, true)[96], 2133);
    EXPECT_EQ(tableAt(96000.0f, true)[96], 1066);
}

// A rate no computation can use falls back to 44.1 kHz everywhere.
TEST(BandTable, UnusableRatesFallBackTo44100) {
    const auto reference = tableAt(44100.0f, true);
    for (float rate : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()}) {
        PluginRig rig(rate);
        ASSERT_TRUE(rig.open()) << rate;
        EXPECT_EQ(rig.editor()->refreshInterval, 92) << rate;
        EXPECT_FLOAT_EQ(rig.editor()->highFrequency, 22050.0f) << rate;
        EXPECT_EQ(rig.labelTexts(), PluginRig::kLinearLabels44) << rate;
        rig.chooseFromMenu(PluginRig::kViewMenu, 3);
        EXPECT_EQ(rig.bandTable(), reference) << rate;
    }
}

TEST(LabelTexts, AtEachRateOnEitherAxis) {
    // At 20 kHz the kilohertz come from a wide product: 1250 Hz times the
    // widened 0.001f is just over 1.25, where a float product is 1.25.
    const struct {
        float rate;
        bool logarithmic;
        std::vector<std::string> texts;
    } rows[] = {
        {44100.0f, false, PluginRig::kLinearLabels44},
        {48000.0f, false, kLinear48},
        {20000.0f, false, {"  0", "1.3k", "2.5k", "3.8k", "5.0k", "6.3k", "7.5k", "8.8k", "10.0k"}},
        {44100.0f, true, PluginRig::kLogLabels},
        {48000.0f, true, PluginRig::kLogLabels},
        {96000.0f, true, PluginRig::kLogLabels},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rate);
        PluginRig rig(row.rate);
        ASSERT_TRUE(rig.open());
        if (row.logarithmic) {
            rig.chooseFromMenu(PluginRig::kViewMenu, 3);
        }
        EXPECT_EQ(rig.labelTexts(), row.texts);
    }
}

TEST(LabelTexts, AxisEndsFollowTheMode) {
    PluginRig rig(48000.0f);
    ASSERT_TRUE(rig.open());
    tq_spectrumEditor* editor = rig.editor();
    EXPECT_EQ(editor->lowFrequency, 0.0f);
    EXPECT_EQ(editor->highFrequency, 24000.0f);
    editor->setScale(1);
    EXPECT_EQ(editor->lowFrequency, 10.0f);
    EXPECT_EQ(editor->highFrequency, 100000.0f);
    editor->setScale(7); // anything but 1 is linear
    EXPECT_EQ(editor->scaleMode, 7);
    EXPECT_EQ(rig.labelTexts(), kLinear48);
    EXPECT_EQ(rig.core()->bandStartBin[96].load(), 512);
}
