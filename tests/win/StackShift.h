// A host's calls into the plug-in with the stack a given number of bytes
// (4, 8 or 12) off the 16-byte boundary that GCC-built code otherwise takes
// for granted on entry. 32-bit Windows promises only 4-byte alignment and
// older 32-bit hosts call with just that; 64-bit hosts keep the alignment
// their ABI requires, so there the calls are plain and the only shift is 0.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "vst/AEffect.h"

class StackShift {
public:
    using EntryProc = AEffect* (*)(audioMasterCallback);

    explicit StackShift(int32_t bytes = 0) : bytes(bytes) {}

    // The shifts this target's hosts may call with.
    static std::vector<int32_t> shifts();

    AEffect* create(EntryProc entry, audioMasterCallback host) const;
    VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) const;
    void processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) const;
    float getParameter(AEffect* effect, VstInt32 index) const;
    // Any code of the plug-in's, as function(context).
    void call(void (*function)(void*), void* context) const;

    // The host's message loop and its messages to a window: user32 runs the
    // window procedures on the shifted stack.
    LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    void pump() const;

private:
    int32_t bytes;
};
