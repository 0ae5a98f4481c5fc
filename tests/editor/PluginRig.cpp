#include "PluginRig.h"

#include <cmath>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "shell/tq_spectrum.h"
#include "shell/vstPluginMain.h"
#include "toolkit/CFrame.h"
#include "toolkit/CVuMeter.h"

namespace {

constexpr uint32_t kLitGreen = 0xFF33FF00u;

VstIntPtr VSTCALLBACK recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                    float) {
    if (opcode == audioMasterVersion) {
        return 2400;
    }
    const PluginRig::HostCall call{opcode, index};
    PluginRig::hostCalls().push_back(call);
    if (PluginRig::onHostCall()) {
        PluginRig::onHostCall()(call);
    }
    return 0;
}

} // namespace

const CRect PluginRig::kViewMenu(20, 3, 55, 17);
const CRect PluginRig::kHelpMenu(55, 3, 90, 17);
const CRect PluginRig::kOkButton(487, 156, 547, 170);

std::vector<PluginRig::HostCall>& PluginRig::hostCalls() {
    static std::vector<HostCall> calls;
    return calls;
}

std::function<void(const PluginRig::HostCall&)>& PluginRig::onHostCall() {
    static std::function<void(const HostCall&)> hook;
    return hook;
}

std::vector<VstInt32> PluginRig::indexesOf(VstInt32 opcode) {
    std::vector<VstInt32> indexes;
    for (const HostCall& call : hostCalls()) {
        if (call.opcode == opcode) {
            indexes.push_back(call.index);
        }
    }
    return indexes;
}

PluginRig::PluginRig(float rate) : sampleRate(rate) {
    HeadlessSystem::reset();
    hostCalls().clear();
    onHostCall() = nullptr;
    aeffect = VSTPluginMain(recordingHost);
    if (aeffect) {
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        dispatch(effSetBlockSize, 0, 4096);
        resume();
    }
}

PluginRig::~PluginRig() {
    onHostCall() = nullptr;
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
    const tq_spectrumEditor* e = editor();
    idleAfter(static_cast<uint32_t>(e->refreshInterval) + 1);
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
