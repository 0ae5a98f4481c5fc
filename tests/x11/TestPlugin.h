// One plug-in instance driven through its dispatcher, as a host drives it:
// open, sample rate and block size, resume, and the editor opcodes. The
// same driver serves the library loaded with dlopen and the plug-in linked
// into the test with the headless layer.
#pragma once

#include <cstdint>

#include "vst/AEffect.h"

class TestPlugin {
public:
    using EntryProc = AEffect* (*)(audioMasterCallback);

    // Creates, opens and resumes the plug-in at 48 kHz, blocks of 1024.
    explicit TestPlugin(EntryProc entry);
    // Suspends and closes it.
    ~TestPlugin();
    TestPlugin(const TestPlugin&) = delete;
    TestPlugin& operator=(const TestPlugin&) = delete;

    bool valid() const { return effect != nullptr; }
    bool editOpen(void* parent);
    void editIdle();
    void editClose();
    // A full-scale sine at `bin` of the 1024-point transform on both
    // channels, `frames` samples through processReplacing.
    void playTone(int32_t bin, int32_t frames);
    // The content scale a host on a dense screen sends (effVendorSpecific).
    void setContentScale(float factor);
    // effEditGetRect: width and height, 0 if refused.
    int32_t editWidth();
    int32_t editHeight();

    // The parent handle for an X window id.
    static void* parentOf(unsigned long window) {
        return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
    }

private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);

    AEffect* effect = nullptr;
};
