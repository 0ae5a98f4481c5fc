#include "live/PluginDriver.h"

#include <algorithm>

#include "shell/vstPluginMain.h"

namespace {

constexpr VstInt32 kHostVersion = 2400;

} // namespace

PluginDriver::~PluginDriver() {
    close();
}

VstIntPtr VSTCALLBACK PluginDriver::hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr,
                                                 void*, float) {
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

VstIntPtr PluginDriver::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

bool PluginDriver::open(std::string& error) {
    close();
    AEffect* created = VSTPluginMain(&PluginDriver::hostCallback);
    if (!created) {
        error = "the plug-in could not be created";
        return false;
    }
    if (created->magic != kEffectMagic || !created->dispatcher || !created->processReplacing ||
        created->numInputs != 2 || (created->flags & effFlagsHasEditor) == 0) {
        if (created->magic == kEffectMagic && created->dispatcher) {
            created->dispatcher(created, effClose, 0, 0, nullptr, 0.0f);
        }
        error = "the plug-in is not the stereo effect with an editor it should be";
        return false;
    }
    effect = created;
    dispatch(effOpen);
    return true;
}

void PluginDriver::start(double sampleRate, int32_t blockSize) {
    if (!effect || !(sampleRate > 0.0) || blockSize < 1) {
        return;
    }
    stop();
    rate = sampleRate;
    block = std::min(blockSize, kMaxBlock);
    dispatch(effSetSampleRate, 0, 0, nullptr, float(rate));
    dispatch(effSetBlockSize, 0, block);
    dispatch(effMainsChanged, 0, 1);
    running = true;
}

void PluginDriver::stop() {
    if (effect && running) {
        dispatch(effMainsChanged, 0, 0);
        running = false;
    }
}

void PluginDriver::process(float* left, float* right, int32_t frames) noexcept {
    if (!effect || !running || !left || !right) {
        return;
    }
    for (int32_t done = 0; done < frames;) {
        const int32_t count = std::min(frames - done, block);
        float* in[2] = {left + done, right + done};
        float* out[2] = {discarded[0], discarded[1]};
        effect->processReplacing(effect, in, out, count);
        done += count;
    }
}

bool PluginDriver::editorSize(int32_t* width, int32_t* height) {
    ERect* rect = nullptr;
    if (!effect || dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
        return false;
    }
    *width = rect->right - rect->left;
    *height = rect->bottom - rect->top;
    return *width > 0 && *height > 0;
}

bool PluginDriver::openEditor(void* parent, std::string& error) {
    closeEditor();
    if (!effect || dispatch(effEditOpen, 0, 0, parent) == 0) {
        error = "the plug-in's window could not be opened";
        return false;
    }
    editorOpen = true;
    return true;
}

void PluginDriver::idleEditor() {
    if (editorOpen) {
        dispatch(effEditIdle);
    }
}

void PluginDriver::closeEditor() {
    if (editorOpen) {
        dispatch(effEditClose);
        editorOpen = false;
    }
}

void PluginDriver::close() {
    if (!effect) {
        return;
    }
    closeEditor();
    stop();
    // effClose deletes the plug-in object; the record goes with it.
    dispatch(effClose);
    effect = nullptr;
}
