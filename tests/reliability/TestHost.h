// A host as the reliability suites need it: builds the plug-in through its
// entry point with the fake host's callback, which counts what the plug-in
// sends back, and calls it only through the AEffect record.
#pragma once

#include <cstdint>

#include "tests/support/fakeHost.h"
#include "vst/AEffect.h"

class tq_spectrum;
class tq_spectrumCore;
class tq_spectrumEditor;

class TestHost {
public:
    // Creates one plug-in; effect() is null when the entry point refused.
    TestHost();
    // Sends effClose unless close() already did.
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    AEffect* effect() const { return record; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) const;
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) const;
    // effClose; the record is gone afterwards. Answers what effClose answered.
    VstIntPtr close();

    // In-process views of the object behind the record.
    tq_spectrum& plugin() const;
    tq_spectrumCore& core() const;
    tq_spectrumEditor& editor() const;

    // Every band level is a number in 0..1.
    bool levelsInRange() const;
    float highestLevel() const;

    // Callbacks of one opcode received so far, from any instance.
    static int64_t callbackCount(VstInt32 opcode) { return fakeHost::count(opcode); }

private:
    AEffect* record = nullptr;
};
