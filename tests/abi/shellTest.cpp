// The plug-in object in-process: what the host cannot see through the record
// but the product relies on (editor wiring, panel requests, measuring).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "shell/tq_spectrum.h"
#include "shell/vstPluginMain.h"
#include "tests/support/fakeHost.h"

namespace {

struct Plugin {
    Plugin() : effect(VSTPluginMain(fakeHost::callback)) {}
    ~Plugin() {
        if (effect) {
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        }
    }
    tq_spectrum& object() const { return *static_cast<tq_spectrum*>(effect->object); }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) const {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    AEffect* effect;
};

float maxBandLevel(const tq_spectrumCore& core) {
    float level = 0.0f;
    for (const auto& band : core.bandLevel) {
        level = std::max(level, band.load(std::memory_order_relaxed));
    }
    return level;
}

void feedSine(const Plugin& plugin, float frequency, int frames) {
    std::vector<float> in(static_cast<size_t>(frames)), out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        in[i] = 0.5f * std::sin(2.0f * 3.14159265f * frequency * static_cast<float>(i) / 44100.0f);
    }
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    plugin.effect->processReplacing(plugin.effect, ins, outs, frames);
}

} // namespace

TEST(PluginObject, BuildsCoreAndEditorAndWiresThem) {
    Plugin plugin;
    ASSERT_NE(plugin.effect, nullptr);
    tq_spectrum& object = plugin.object();
    ASSERT_NE(object.getCore(), nullptr);
    ASSERT_NE(object.getSpectrumEditor(), nullptr);
    EXPECT_EQ(object.getSpectrumEditor()->core, object.getCore());
    EXPECT_EQ(static_cast<AEffEditor*>(object.getSpectrumEditor()), object.getEditor());
    EXPECT_EQ(object.getSpectrumEditor()->requestedPanel.load(), -1);
    EXPECT_STREQ(object.getStoredProgramName(), "Default");
    EXPECT_EQ(plugin.effect->flags & effFlagsHasEditor, effFlagsHasEditor);
}

TEST(PluginObject, SuspendRequestsTheDimmedPanelAndResumeTheBars) {
    Plugin plugin;
    tq_spectrumEditor* editor = plugin.object().getSpectrumEditor();
    plugin.dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(editor->requestedPanel.load(), 1);
    plugin.dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(editor->requestedPanel.load(), -1);
    editor->requestedPanel.store(0); // the About panel
    plugin.dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(editor->requestedPanel.load(), 1);
    plugin.dispatch(effMainsChanged, 0, 7);
    EXPECT_EQ(editor->requestedPanel.load(), -1) << "resume shows the bars, not the About panel";
}

TEST(PluginObject, ProgramNameIsCutAt31Characters) {
    Plugin plugin;
    std::string longName(100, 'n');
    plugin.dispatch(effSetProgramName, 0, 0, longName.data());
    EXPECT_EQ(std::string(plugin.object().getStoredProgramName()), std::string(31, 'n'));
    char shortName[] = "Warm";
    plugin.dispatch(effSetProgramName, 0, 0, shortName);
    EXPECT_STREQ(plugin.object().getStoredProgramName(), "Warm");
}

TEST(PluginObject, SampleRateAndBlockSizeGoToTheAnalyser) {
    Plugin plugin;
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    plugin.dispatch(effSetBlockSize, 0, 256);
    EXPECT_EQ(plugin.object().getCore()->getSampleRate(), 48000.0f);
    EXPECT_EQ(plugin.object().getSampleRate(), 44100.0f) << "the base keeps its defaults";
    EXPECT_EQ(plugin.object().getBlockSize(), 1024);
}

TEST(PluginObject, ProcessReplacingMeasuresTheAudio) {
    Plugin plugin;
    const tq_spectrumCore& core = *plugin.object().getCore();
    EXPECT_EQ(maxBandLevel(core), 0.0f);
    feedSine(plugin, 1000.0f, 1024);
    // 1 kHz lies in bin 23 (1000 * 1024 / 44100 = 23.2), inside band 4 (bins 21..25).
    EXPECT_GT(core.bandLevel[4].load(), 0.9f);
    EXPECT_LT(core.bandLevel[40].load(), 0.2f);
}
