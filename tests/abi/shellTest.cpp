// The plug-in object in-process: what the host cannot see through the record
// but the product relies on (editor wiring, panel requests, measuring).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "shell/tq_spectrum.h"
#include "tests/reliability/TestHost.h"

namespace {

void feedSine(const TestHost& host, float frequency, int frames) {
    std::vector<float> in(static_cast<size_t>(frames)), out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        in[i] = 0.5f * std::sin(2.0f * 3.14159265f * frequency * static_cast<float>(i) / 44100.0f);
    }
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    host.processReplacing(ins, outs, frames);
}

} // namespace

TEST(PluginObject, BuildsCoreAndEditorAndWiresThem) {
    TestHost host;
    ASSERT_NE(host.effect(), nullptr);
    tq_spectrum& object = host.plugin();
    ASSERT_NE(object.getCore(), nullptr);
    ASSERT_NE(object.getSpectrumEditor(), nullptr);
    EXPECT_EQ(object.getSpectrumEditor()->core, object.getCore());
    EXPECT_EQ(static_cast<AEffEditor*>(object.getSpectrumEditor()), object.getEditor());
    EXPECT_EQ(object.getSpectrumEditor()->requestedPanel.load(), -1);
    EXPECT_STREQ(object.getStoredProgramName(), "Default");
    EXPECT_EQ(host.effect()->flags & effFlagsHasEditor, effFlagsHasEditor);
}

TEST(PluginObject, SuspendRequestsTheDimmedPanelAndResumeTheBars) {
    TestHost host;
    tq_spectrumEditor* editor = host.plugin().getSpectrumEditor();
    host.dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(editor->requestedPanel.load(), 1);
    host.dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(editor->requestedPanel.load(), -1);
    editor->requestedPanel.store(0); // the About panel
    host.dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(editor->requestedPanel.load(), 1);
    host.dispatch(effMainsChanged, 0, 7);
    EXPECT_EQ(editor->requestedPanel.load(), -1) << "resume shows the bars, not the About panel";
}

TEST(PluginObject, ProgramNameIsCutAt31Characters) {
    TestHost host;
    std::string longName(100, 'n');
    host.dispatch(effSetProgramName, 0, 0, longName.data());
    EXPECT_EQ(std::string(host.plugin().getStoredProgramName()), std::string(31, 'n'));
    char shortName[] = "Warm";
    host.dispatch(effSetProgramName, 0, 0, shortName);
    EXPECT_STREQ(host.plugin().getStoredProgramName(), "Warm");
}

TEST(PluginObject, SampleRateAndBlockSizeGoToTheAnalyser) {
    TestHost host;
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effSetBlockSize, 0, 256);
    EXPECT_EQ(host.plugin().getCore()->getSampleRate(), 48000.0f);
    EXPECT_EQ(host.plugin().getSampleRate(), 44100.0f) << "the base keeps its defaults";
    EXPECT_EQ(host.plugin().getBlockSize(), 1024);
}

TEST(PluginObject, ProcessReplacingMeasuresTheAudio) {
    TestHost host;
    const tq_spectrumCore& core = host.core();
    EXPECT_EQ(host.highestLevel(), 0.0f);
    feedSine(host, 1000.0f, 1024);
    // 1 kHz lies in bin 23 (1000 * 1024 / 44100 = 23.2), inside band 4 (bins 21..25).
    EXPECT_GT(core.bandLevel[4].load(), 0.9f);
    EXPECT_LT(core.bandLevel[40].load(), 0.2f);
}
