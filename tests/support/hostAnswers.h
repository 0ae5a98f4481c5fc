// The answers a host relies on: what the plug-in answers each dispatcher
// opcode, for every suite and fuzz target that checks them.
#pragma once

#include "vst/AEffect.h"

namespace hostAnswers {

// The opcodes a sweep sends: every known one and unknown ones either side.
constexpr VstInt32 kFirstOpcode = -10;
constexpr VstInt32 kLastOpcode = 200;

// The answer to any opcode but effClose. `ptr` is null or one of the host's
// buffers, or, when `window` is set, a parent window for effEditOpen.
constexpr VstIntPtr expected(VstInt32 opcode, VstIntPtr value, const void* ptr,
                             bool window = false) {
    switch (opcode) {
    case effGetProgram:
    case effGetCurrentMidiProgram:
        return -1;
    case effEditOpen:
        return window ? 1 : 0;
    case effEditGetRect:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
        return ptr ? 1 : 0; // nowhere to write, nothing done
    case effIdentify:
        return vstFourCharCode('N', 'v', 'E', 'f');
    case effCanBeAutomated:
    case effGetPlugCategory:
    case effSetEditKnobMode:
        return 1;
    case effGetVendorVersion:
        return 1000;
    case effGetVstVersion:
        return 2400;
    case effSetTotalSampleToProcess:
        return static_cast<VstInt32>(value);
    default:
        return 0;
    }
}

// Whether `answer` is the one expected; with the editor open a key press is
// the editor's to take (1) or leave (0).
constexpr bool isExpected(VstIntPtr answer, VstInt32 opcode, VstIntPtr value, const void* ptr,
                          bool editorOpen, bool window = false) {
    if (editorOpen && (opcode == effEditKeyDown || opcode == effEditKeyUp)) {
        return answer == 0 || answer == 1;
    }
    return answer == expected(opcode, value, ptr, window);
}

// Opcodes that write through the pointer; every other one leaves the host's
// memory alone.
constexpr bool writesThroughPointer(VstInt32 opcode) {
    switch (opcode) {
    case effGetProgramName:
    case effEditGetRect:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
    case effGetSpeakerArrangement:
        return true;
    default:
        return false;
    }
}

} // namespace hostAnswers
