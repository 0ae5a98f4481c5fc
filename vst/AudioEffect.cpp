#include "vst/AudioEffect.h"

#include "vst/AEffEditor.h"

namespace {

AudioEffect* effectOf(AEffect* e) {
    return e ? static_cast<AudioEffect*>(e->object) : nullptr;
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = programs;
    cEffect.numParams = params;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vstFourCharCode('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processClassReplacing;
    cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect() {
    // Forgotten first, so that the editor's destructor finds itself no
    // longer registered.
    AEffEditor* owned = editor;
    editor = nullptr;
    delete owned;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    if (editor) {
        cEffect.flags |= effFlagsHasEditor;
    } else {
        cEffect.flags &= ~effFlagsHasEditor;
    }
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstInt32 AudioEffect::getMasterVersion() {
    const VstIntPtr version = callHost(audioMasterVersion);
    return version == 0 ? 1 : static_cast<VstInt32>(version);
}

bool AudioEffect::beginEdit(VstInt32 index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffect::endEdit(VstInt32 index) {
    return callHost(audioMasterEndEdit, index) != 0;
}

void AudioEffect::masterIdle() {
    callHost(audioMasterIdle);
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::getProgramName(char* name) {
    if (name) {
        *name = 0;
    }
}

void AudioEffect::getParameterLabel(VstInt32, char* label) {
    if (label) {
        *label = 0;
    }
}

void AudioEffect::getParameterDisplay(VstInt32, char* text) {
    if (text) {
        *text = 0;
    }
}

void AudioEffect::getParameterName(VstInt32, char* text) {
    if (text) {
        *text = 0;
    }
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        // Signed on purpose: 0 and every negative value reach setProgram.
        if (value < numPrograms) {
            setProgram(static_cast<VstInt32>(value));
        }
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
        getParameterLabel(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        getParameterDisplay(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        getParameterName(index, static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value == 0) {
            suspend();
        } else {
            resume();
        }
        return 0;
    case effEditGetRect:
        if (editor) {
            return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        }
        return 0;
    case effEditOpen:
        if (editor) {
            return editor->open(ptr) ? 1 : 0;
        }
        return 0;
    case effEditClose:
        if (editor) {
            editor->close();
        }
        return 0;
    case effEditIdle:
        if (editor) {
            editor->idle();
        }
        return 0;
    case effIdentify:
        return vstFourCharCode('N', 'v', 'E', 'f');
    case effGetChunk:
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
        return 0;
    }
}

VstIntPtr VSTCALLBACK AudioEffect::dispatchEffClass(AEffect* e, VstInt32 opcode, VstInt32 index,
                                                    VstIntPtr value, void* ptr, float opt) {
    AudioEffect* effect = effectOf(e);
    if (!effect) {
        return 0;
    }
    // Nothing may unwind into the host: a request that fails on the way,
    // for want of memory above all, answers 0 as any failed request does.
    if (opcode == effClose) {
        try {
            effect->dispatcher(opcode, index, value, ptr, opt);
        } catch (...) {
        }
        delete effect;
        return 1;
    }
    try {
        return effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

// The audio entries have no guard: the audio path never allocates, and in
// the 32-bit Windows build, whose exceptions are not table-driven, a guard
// would cost every block.
void VSTCALLBACK AudioEffect::processClass(AEffect* e, float** inputs, float** outputs,
                                           VstInt32 sampleFrames) {
    if (AudioEffect* effect = effectOf(e)) {
        effect->process(inputs, outputs, sampleFrames);
    }
}

void VSTCALLBACK AudioEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                                    VstInt32 sampleFrames) {
    if (AudioEffect* effect = effectOf(e)) {
        effect->processReplacing(inputs, outputs, sampleFrames);
    }
}

void VSTCALLBACK AudioEffect::processClassDoubleReplacing(AEffect* e, double** inputs,
                                                          double** outputs, VstInt32 sampleFrames) {
    if (AudioEffect* effect = effectOf(e)) {
        effect->processDoubleReplacing(inputs, outputs, sampleFrames);
    }
}

void VSTCALLBACK AudioEffect::setParameterClass(AEffect* e, VstInt32 index, float value) {
    if (AudioEffect* effect = effectOf(e)) {
        try {
            effect->setParameter(index, value);
        } catch (...) {
        }
    }
}

float VSTCALLBACK AudioEffect::getParameterClass(AEffect* e, VstInt32 index) {
    AudioEffect* effect = effectOf(e);
    if (!effect) {
        return 0.0f;
    }
    try {
        return effect->getParameter(index);
    } catch (...) {
        return 0.0f;
    }
}
