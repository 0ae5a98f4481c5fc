// The plug-in, linked in, as a VST 2.4 host holds it: created through its
// entry point and checked, then driven through its AEffect record: effOpen,
// sample rate and block size around a suspend and resume, the editor's
// effEditOpen, effEditIdle and effEditClose, then suspend and effClose. The
// command-line host and tq-spectrum-live each hold one.
#pragma once

#include <cstdint>
#include <string>

#include "vst/AEffect.h"

class EffectInstance {
public:
    static constexpr VstInt32 kHostVersion = 2400;

    EffectInstance() = default;
    // Closes the plug-in if it is still open.
    ~EffectInstance();

    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    // Creates the plug-in and sends effOpen. A record that is not a stereo
    // effect with processReplacing and an editor is closed again, as a host
    // would, and refused.
    bool create(std::string& error);
    bool isOpen() const { return effect != nullptr; }

    // Suspends if running, tells the rate and block size, resumes. Never
    // while blocks may be processed.
    void start(double sampleRate, int32_t blockSize);
    // Suspends: an open editor shows its suspended panel.
    void stop();
    bool isRunning() const { return running; }
    double sampleRate() const { return rate; }
    int32_t blockSize() const { return block; }

    // The editor's size from effEditGetRect.
    bool editorSize(int32_t* width, int32_t* height);
    bool openEditor(void* parent, std::string& error);
    void idleEditor();
    void closeEditor();
    bool isEditorOpen() const { return editorOpen; }
    // The host's content scale (effVendorSpecific 'PreS' 'AeCs'), for the
    // editor's next open.
    void setEditorScale(float factor);

    // Closes the editor, suspends and deletes the plug-in; safe to call twice.
    void close();

    // The answers the plug-in gets from its host: the version, nothing else.
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt);

protected:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);

    // Owned by the plug-in itself, which effClose deletes with it.
    AEffect* effect = nullptr;

private:
    bool running = false;
    bool editorOpen = false;
    double rate = 0.0;
    int32_t block = 0;
};
