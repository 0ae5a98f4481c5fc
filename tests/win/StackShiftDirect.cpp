// The 64-bit calls: plain, on the aligned stack every 64-bit host keeps.
#include "HostWindow.h"
#include "StackShift.h"

std::vector<int32_t> StackShift::shifts() {
    return {0};
}

AEffect* StackShift::create(EntryProc entry, audioMasterCallback host) const {
    return entry(host);
}

VstIntPtr StackShift::dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt) const {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void StackShift::processReplacing(AEffect* effect, float** inputs, float** outputs,
                                  VstInt32 frames) const {
    effect->processReplacing(effect, inputs, outputs, frames);
}

float StackShift::getParameter(AEffect* effect, VstInt32 index) const {
    return effect->getParameter(effect, index);
}

void StackShift::call(void (*function)(void*), void* context) const {
    function(context);
}

LRESULT StackShift::sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(window, message, wParam, lParam);
}

void StackShift::pump() const {
    HostWindow::pump();
}
