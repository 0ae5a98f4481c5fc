#include "shell/tq_spectrum.h"

#include <cstring>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "generated/version.h"

namespace {

constexpr char kEffectName[] = "tq-spectrum";
constexpr char kVendorName[] = "corvale";

bool writeText(char* target, const char* text) {
    if (!target) {
        return false;
    }
    std::strcpy(target, text);
    return true;
}

} // namespace

tq_spectrum::tq_spectrum(audioMasterCallback audioMaster) : AudioEffectX(audioMaster, 1, 0) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(vstFourCharCode(productVersion::kUniqueId[0], productVersion::kUniqueId[1],
                                productVersion::kUniqueId[2], productVersion::kUniqueId[3]));
    std::strcpy(programName, "Default");

    core = new tq_spectrumCore();
    try {
        // The editor registers itself as this plug-in's editor.
        auto* spectrumEditor = new tq_spectrumEditor(this);
        if (!spectrumEditor->core) {
            spectrumEditor->core = core;
        }
    } catch (...) {
        delete core;
        core = nullptr;
        throw;
    }
}

tq_spectrum::~tq_spectrum() {
    // The core goes first; the base then deletes the editor, which no longer
    // touches the core.
    delete core;
    core = nullptr;
}

tq_spectrumEditor* tq_spectrum::getSpectrumEditor() const {
    return static_cast<tq_spectrumEditor*>(editor);
}

void tq_spectrum::suspend() {
    if (tq_spectrumEditor* e = getSpectrumEditor()) {
        e->requestedPanel.store(1, std::memory_order_relaxed);
    }
}

void tq_spectrum::resume() {
    if (tq_spectrumEditor* e = getSpectrumEditor()) {
        e->requestedPanel.store(-1, std::memory_order_relaxed);
    }
    AudioEffectX::resume();
}

void tq_spectrum::setSampleRate(float rate) {
    core->setSampleRate(rate);
}

void tq_spectrum::setBlockSize(VstInt32 size) {
    core->setBlockSize(size);
}

void tq_spectrum::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    core->process(inputs, outputs, sampleFrames);
}

void tq_spectrum::setParameter(VstInt32 index, float value) {
    core->setParameterNormalized(index, value, false);
}

float tq_spectrum::getParameter(VstInt32 index) {
    return core->getParameterProperty(pluginCore::kPropertyNormalized, index, nullptr);
}

VstInt32 tq_spectrum::getProgram() {
    return core->getCurrentPreset();
}

void tq_spectrum::setProgram(VstInt32 index) {
    core->selectPreset(index);
}

void tq_spectrum::setProgramName(char* name) {
    if (!name) {
        return;
    }
    std::strncpy(programName, name, sizeof(programName) - 1);
    programName[sizeof(programName) - 1] = 0;
}

void tq_spectrum::getProgramName(char* name) {
    if (name) {
        core->getCurrentPresetName(name);
    }
}

void tq_spectrum::getParameterLabel(VstInt32 index, char* text) {
    core->getParameterProperty(pluginCore::kPropertyLabel, index, text);
}

void tq_spectrum::getParameterDisplay(VstInt32 index, char* text) {
    core->getParameterProperty(pluginCore::kPropertyDisplay, index, text);
}

void tq_spectrum::getParameterName(VstInt32 index, char* text) {
    core->getParameterProperty(pluginCore::kPropertyName, index, text);
}

bool tq_spectrum::canParameterBeAutomated(VstInt32) {
    return true;
}

bool tq_spectrum::getEffectName(char* text) {
    return writeText(text, kEffectName);
}

bool tq_spectrum::getVendorString(char* text) {
    return writeText(text, kVendorName);
}

bool tq_spectrum::getProductString(char* text) {
    return writeText(text, kEffectName);
}

VstInt32 tq_spectrum::getVendorVersion() {
    return productVersion::kVendorVersion;
}

VstInt32 tq_spectrum::canDo(char*) {
    return 0;
}

VstInt32 tq_spectrum::getPlugCategory() {
    return kPlugCategEffect;
}

VstIntPtr tq_spectrum::vendorSpecific(VstInt32 index, VstIntPtr value, void*, float opt) {
    tq_spectrumEditor* e = getSpectrumEditor();
    if (index != kContentScaleIndex || value != kContentScaleValue || !e) {
        return 0;
    }
    e->setHostScale(opt);
    return 1;
}
