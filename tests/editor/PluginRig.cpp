#include "PluginRig.h"

#include <cmath>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "shell/tq_spectrum.h"
#include "shell/vstPluginMain.h"
#include "tests/support/fakeHost.h"
#include "toolkit/CFrame.h"
#include "toolkit/CVuMeter.h"

const CRect PluginRig::kViewMenu(20, 3, 55, 17);
const CRect PluginRig::kHelpMenu(55, 3, 90, 17);
const CRect PluginRig::kOkButton(487, 156, 547, 170);
const std::vector<std::string> PluginRig::kLogLabels = {"10", "",    "100", "",    "1k",
                                                        "",   "10k", "",    "100k"};
const std::vector<std::string> PluginRig::kLinearLabels44 = {
    "  0", "2.8k", "5.5k", "8.3k", "11.0k", "13.8k", "16.5k", "19.3k", "22.1k"};

PluginRig::PluginRig(float rate) {
    HeadlessSystem::reset();
    fakeHost::reset(true);
    aeffect = VSTPluginMain(fakeHost::callback);
    fakeHost::calls.clear(); // what the plug-in asks once it exists
    if (aeffect) {
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        dispatch(effSetBlockSize, 0, 4096);
        resume();
    }
}

PluginRig::~PluginRig() {
    fakeHost::onCall = nullptr;
    if (aeffect) {
        close();
        closePlugin();
    }
}

VstIntPtr PluginRig::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
    return aeffect ? aeffect->dispatcher(aeffect, opcode, index, value, ptr, opt) : 0;
}

bool PluginRig::open() {
    return dispatch(effEditOpen, 0, 0, window.handle()) == 1;
}

void PluginRig::idleAfter(uint32_t milliseconds) {
    HeadlessSystem::advanceTicks(milliseconds);
    idle();
}

void PluginRig::closePlugin() {
    dispatch(effClose);
    aeffect = nullptr;
}

void PluginRig::chooseFromMenu(const CRect& menu, int32_t index) {
    if (index < 0) {
        window.scriptPopupDismiss();
    } else {
        window.scriptPopupChoice(index);
    }
    window.click((menu.left + menu.right) / 2, (menu.top + menu.bottom) / 2);
}

void PluginRig::decayStep() {
    idleAfter(static_cast<uint32_t>(editor()->refreshInterval) + 1);
}

void PluginRig::playSine(int32_t bin, int32_t frames) {
    constexpr double kPi = 3.14159265358979323846;
    std::vector<float> samples(static_cast<size_t>(frames));
    const double step = 2.0 * kPi * bin / 1024.0;
    for (size_t n = 0; n < samples.size(); ++n) {
        samples[n] = static_cast<float>(std::sin(step * static_cast<double>(n)));
    }
    play(samples);
}

void PluginRig::play(const std::vector<float>& samples) {
    std::vector<float> left(samples);
    std::vector<float> right(samples);
    std::vector<float> outLeft(samples.size());
    std::vector<float> outRight(samples.size());
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {outLeft.data(), outRight.data()};
    aeffect->processReplacing(aeffect, ins, outs, static_cast<VstInt32>(samples.size()));
}

tq_spectrum* PluginRig::plugin() const {
    return aeffect ? static_cast<tq_spectrum*>(aeffect->object) : nullptr;
}

tq_spectrumEditor* PluginRig::editor() const {
    return aeffect ? plugin()->getSpectrumEditor() : nullptr;
}

tq_spectrumCore* PluginRig::core() const {
    return aeffect ? plugin()->getCore() : nullptr;
}

std::vector<int32_t> PluginRig::bandTable() const {
    std::vector<int32_t> bins;
    for (const auto& bin : core()->bandStartBin) {
        bins.push_back(bin.load());
    }
    return bins;
}

std::vector<std::string> PluginRig::labelTexts() const {
    std::vector<std::string> texts;
    for (int32_t k = 0; k < 9; ++k) {
        char text[256];
        tq_spectrumEditor::frequencyText(float(k) * 0.125f, text, editor());
        texts.emplace_back(text);
    }
    return texts;
}

int32_t PluginRig::litSegments(int32_t band) const {
    const CRect bar = barRect(band);
    int32_t green = 0;
    for (int32_t y = bar.top; y < bar.bottom; ++y) {
        green += window.pixel(bar.left + 1, y) == kLitGreen ? 1 : 0;
    }
    return green;
}

std::vector<int32_t> PluginRig::barsInFrame() const {
    std::vector<int32_t> counts(SpectrumLayout::kBandCount, 0);
    const tq_spectrumEditor* e = editor();
    CFrame* frame = e ? e->getFrame() : nullptr;
    if (!frame) {
        return counts;
    }
    for (size_t v = 0; v < frame->getNbViews(); ++v) {
        for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
            if (e->bars[i] && frame->getView(v) == e->bars[i]) {
                ++counts[static_cast<size_t>(i)];
            }
        }
    }
    return counts;
}
