#include "TestPlugin.h"

namespace {

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

} // namespace

TestPlugin::TestPlugin(EntryProc entry) {
    effect = entry ? entry(&hostCallback) : nullptr;
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

void TestPlugin::editIdle() {
    dispatch(effEditIdle);
}

void TestPlugin::editClose() {
    dispatch(effEditClose);
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
