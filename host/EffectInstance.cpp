#include "host/EffectInstance.h"

#include "shell/vstPluginMain.h"

EffectInstance::~EffectInstance() {
    close();
}

VstIntPtr VSTCALLBACK EffectInstance::hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr,
                                                   void*, float) {
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

VstIntPtr EffectInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

bool EffectInstance::create(std::string& error) {
    close();
    AEffect* created = VSTPluginMain(&EffectInstance::hostCallback);
    if (!created) {
        error = "the plug-in could not be created";
        return false;
    }
    if (created->magic != kEffectMagic || !created->dispatcher || !created->processReplacing ||
        !created->object || created->numInputs != 2 || created->numOutputs != 2 ||
        (created->flags & effFlagsCanReplacing) == 0 || (created->flags & effFlagsHasEditor) == 0) {
        // Not the record we expect; still let it go the way a host would.
        if (created->magic == kEffectMagic && created->dispatcher) {
            created->dispatcher(created, effClose, 0, 0, nullptr, 0.0f);
        }
        error = "the plug-in is not the stereo VST 2.4 effect with an editor it should be";
        return false;
    }
    effect = created;
    dispatch(effOpen);
    return true;
}

void EffectInstance::start(double sampleRate, int32_t blockSize) {
    if (!effect || !(sampleRate > 0.0) || blockSize < 1) {
        return;
    }
    stop();
    rate = sampleRate;
    block = blockSize;
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    dispatch(effSetBlockSize, 0, block);
    dispatch(effMainsChanged, 0, 1);
    running = true;
}

void EffectInstance::stop() {
    if (effect && running) {
        dispatch(effMainsChanged, 0, 0);
        running = false;
    }
}

bool EffectInstance::editorSize(int32_t* width, int32_t* height) {
    ERect* rect = nullptr;
    if (!effect || dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
        return false;
    }
    *width = rect->right - rect->left;
    *height = rect->bottom - rect->top;
    return *width > 0 && *height > 0;
}

bool EffectInstance::openEditor(void* parent, std::string& error) {
    closeEditor();
    if (!effect || dispatch(effEditOpen, 0, 0, parent) == 0) {
        error = "the plug-in's editor could not be opened";
        return false;
    }
    editorOpen = true;
    return true;
}

void EffectInstance::idleEditor() {
    if (editorOpen) {
        dispatch(effEditIdle);
    }
}

void EffectInstance::closeEditor() {
    if (editorOpen) {
        dispatch(effEditClose);
        editorOpen = false;
    }
}

void EffectInstance::setEditorScale(float factor) {
    if (effect) {
        dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr, factor);
    }
}

void EffectInstance::close() {
    if (!effect) {
        return;
    }
    closeEditor();
    stop();
    // effClose deletes the plug-in object; the record goes with it.
    dispatch(effClose);
    effect = nullptr;
}
