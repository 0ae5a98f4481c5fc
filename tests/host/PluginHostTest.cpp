// The host wrapper driving the real plug-in in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/PluginHost.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/host/cliSupport.h"

namespace {

TEST(PluginHostTest, CallbackAnswersOnlyTheVersion) {
    EXPECT_EQ(EffectInstance::hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    for (VstInt32 opcode : {audioMasterAutomate, audioMasterIdle, audioMasterBeginEdit,
                            audioMasterEndEdit, audioMasterCurrentId}) {
        EXPECT_EQ(EffectInstance::hostCallback(nullptr, opcode, 1, 2, nullptr, 0.5f), 0) << opcode;
    }
}

TEST(PluginHostTest, AFrameGivesItsOwnLevelsAndThePluginKeepsItsPeaks) {
    PluginHost host;
    std::string error;
    ASSERT_TRUE(host.open(44100.0, 256, error)) << error;

    std::vector<float> tone(1024);
    for (size_t i = 0; i < tone.size(); ++i) {
        tone[i] = sine(1000.0, 0.25, static_cast<long>(i), 44100);
    }
    BandLevels levels{};
    // 1023 samples, more than one block's worth: the audio comes back
    // unchanged and no frame is complete yet.
    host.process(tone.data(), tone.data(), 1023);
    const size_t lastBlock = 1023 - 3 * 256;
    EXPECT_TRUE(std::equal(tone.begin() + 768, tone.begin() + 768 + lastBlock, host.outputLeft()));
    EXPECT_TRUE(std::equal(tone.begin() + 768, tone.begin() + 768 + lastBlock, host.outputRight()));
    EXPECT_EQ(host.heldLevel(4), 0.0f);

    host.processFrame(tone.data() + 1023, tone.data() + 1023, 1, levels);
    EXPECT_GT(levels[4], 0.95f) << "1 kHz lies in band 4";
    EXPECT_EQ(levels[96], 0.0f) << "band 96 starts at bin 512, which carries no level";
    EXPECT_EQ(host.heldLevel(4), levels[4]);

    // The next frame is silent: its own levels are 0, while the plug-in,
    // with no editor to lower them, still holds the peak of the first.
    const std::vector<float> silence(4096, 0.0f);
    host.process(silence.data(), silence.data(), 4095);
    host.processFrame(silence.data(), silence.data(), 1, levels);
    EXPECT_TRUE(std::all_of(levels.begin(), levels.end(), [](float v) { return v == 0.0f; }));
    EXPECT_GT(host.heldLevel(4), 0.95f);

    host.close();
    EXPECT_FALSE(host.isOpen());
    host.close();
    host.process(tone.data(), tone.data(), 16); // nothing to run; no crash
    host.processFrame(tone.data(), tone.data(), 16, levels);
    EXPECT_EQ(levels[4], 0.0f);
}

TEST(PluginHostTest, EditorOpensIdlesAndClosesWithThePlugin) {
    PluginHost host;
    HeadlessWindow parent;
    std::string error;
    EXPECT_FALSE(host.openEditor(parent.handle(), error)) << "no plug-in yet";
    ASSERT_TRUE(host.open(44100.0, 512, error)) << error;
    ASSERT_TRUE(host.openEditor(parent.handle(), error)) << error;
    EXPECT_TRUE(parent.hasChild());
    EXPECT_EQ(parent.width(), 570);
    EXPECT_EQ(parent.height(), 180);
    host.idleEditor();
    EXPECT_GT(parent.presentCount(), 0u) << "the first idle draws the window";
    host.close();
    EXPECT_FALSE(host.isEditorOpen());
    EXPECT_FALSE(parent.hasChild()) << "closing the plug-in closes its window first";

    PluginHost other;
    ASSERT_TRUE(other.open(44100.0, 512, error)) << error;
    EXPECT_FALSE(other.openEditor(nullptr, error));
    EXPECT_FALSE(other.isEditorOpen());
}

TEST(PluginHostTest, RefusesRatesAndBlockSizesThePluginCannotUse) {
    PluginHost host;
    std::string error;
    EXPECT_FALSE(host.open(0.0, 512, error));
    EXPECT_FALSE(host.open(44100.0, 0, error));
    EXPECT_FALSE(host.isOpen());
    EXPECT_FALSE(error.empty());
}

} // namespace
