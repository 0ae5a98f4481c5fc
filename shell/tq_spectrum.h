// The plug-in the host sees: a stereo effect with an editor, 1 program and
// 0 parameters, that passes its audio through while the core measures it.
#pragma once

#include "vst/AudioEffectX.h"

class tq_spectrumCore;
class tq_spectrumEditor;

class tq_spectrum : public AudioEffectX {
public:
    explicit tq_spectrum(audioMasterCallback audioMaster);
    ~tq_spectrum() override;

    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 size) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    VstInt32 getProgram() override;
    void setProgram(VstInt32 index) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* text) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool canParameterBeAutomated(VstInt32 index) override;
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;
    VstInt32 getPlugCategory() override;
    // The content scale some hosts send ('PreS', 'AeCs', the factor in
    // `opt`): the editor's next open draws at it.
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    tq_spectrumCore* getCore() const { return core; }
    tq_spectrumEditor* getSpectrumEditor() const;
    const char* getStoredProgramName() const { return programName; }

private:
    char programName[32];
    tq_spectrumCore* core = nullptr;
};
