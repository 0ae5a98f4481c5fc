#include "TestPlugin.h"

#include <cmath>
#include <vector>

#include "tests/support/fakeHost.h"

TestPlugin::TestPlugin(EntryProc entry) {
    effect = entry ? entry(fakeHost::callback) : nullptr;
    if (!effect) {
        return;
    }
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(effSetBlockSize, 0, 1024);
    dispatch(effMainsChanged, 0, 1);
}

TestPlugin::~TestPlugin() {
    if (effect) {
        dispatch(effMainsChanged, 0, 0);
        dispatch(effClose);
    }
}

VstIntPtr TestPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

bool TestPlugin::editOpen(void* parent) {
    return dispatch(effEditOpen, 0, 0, parent) != 0;
}

void TestPlugin::setContentScale(float factor) {
    dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr, factor);
}

void TestPlugin::editIdle() {
    dispatch(effEditIdle);
}

void TestPlugin::editClose() {
    dispatch(effEditClose);
}

void TestPlugin::playTone(int32_t bin, int32_t frames) {
    constexpr int32_t kBlock = 1024;
    const double step = 2.0 * 3.14159265358979323846 * bin / 1024.0;
    std::vector<float> in(kBlock);
    std::vector<float> out[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    for (int32_t done = 0; done < frames; done += kBlock) {
        for (int32_t n = 0; n < kBlock; ++n) {
            in[size_t(n)] = float(std::sin(step * double(done + n)));
        }
        effect->processReplacing(effect, ins, outs, kBlock);
    }
}

int32_t TestPlugin::editWidth() {
    ERect* rect = nullptr;
    if (!dispatch(effEditGetRect, 0, 0, &rect) || !rect) {
        return 0;
    }
    return rect->right - rect->left;
}

int32_t TestPlugin::editHeight() {
    ERect* rect = nullptr;
    if (!dispatch(effEditGetRect, 0, 0, &rect) || !rect) {
        return 0;
    }
    return rect->bottom - rect->top;
}
