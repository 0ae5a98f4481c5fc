// The 32-bit calls: a few instructions put the stack `bytes` below a 16-byte
// boundary, copy the arguments there and call. The frame puts the stack back
// afterwards, so cdecl and stdcall callees are called alike.
#include <cstring>

#include "StackShift.h"

// tqCallShifted(bytes, function, args, count) calls function(args[0], ...,
// args[count - 1]) and returns its eax; tqCallShiftedFloat is the same code
// for callees that return a float in st(0).
extern "C" uint32_t tqCallShifted(uint32_t bytes, uint32_t function, const uint32_t* args,
                                  uint32_t count) __asm__("tqCallShifted");
extern "C" float tqCallShiftedFloat(uint32_t bytes, uint32_t function, const uint32_t* args,
                                    uint32_t count) __asm__("tqCallShiftedFloat");

__asm__(R"(
    .text
    .p2align 4
tqCallShifted:
tqCallShiftedFloat:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 20(%ebp), %ecx
    movl 16(%ebp), %esi
    leal 0(,%ecx,4), %eax
    movl %esp, %edx
    subl %eax, %edx
    andl $-16, %edx
    subl 8(%ebp), %edx
    movl %edx, %esp
    movl %edx, %edi
    cld
    rep movsl
    call *12(%ebp)
    leal -8(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace {

template <typename T>
uint32_t word(T value) {
    static_assert(sizeof(T) == sizeof(uint32_t), "one stack slot per argument");
    uint32_t w;
    std::memcpy(&w, &value, sizeof(w));
    return w;
}

} // namespace

std::vector<int32_t> StackShift::shifts() {
    return {0, 4, 8, 12};
}

AEffect* StackShift::create(EntryProc entry, audioMasterCallback host) const {
    const uint32_t args[] = {word(host)};
    return reinterpret_cast<AEffect*>(tqCallShifted(word(bytes), word(entry), args, 1));
}

VstIntPtr StackShift::dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt) const {
    const uint32_t args[] = {word(effect), word(opcode), word(index),
                             word(value),  word(ptr),    word(opt)};
    return VstIntPtr(tqCallShifted(word(bytes), word(effect->dispatcher), args, 6));
}

void StackShift::processReplacing(AEffect* effect, float** inputs, float** outputs,
                                  VstInt32 frames) const {
    const uint32_t args[] = {word(effect), word(inputs), word(outputs), word(frames)};
    tqCallShifted(word(bytes), word(effect->processReplacing), args, 4);
}

float StackShift::getParameter(AEffect* effect, VstInt32 index) const {
    const uint32_t args[] = {word(effect), word(index)};
    return tqCallShiftedFloat(word(bytes), word(effect->getParameter), args, 2);
}

void StackShift::call(void (*function)(void*), void* context) const {
    const uint32_t args[] = {word(context)};
    tqCallShifted(word(bytes), word(function), args, 1);
}

LRESULT StackShift::sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    const uint32_t args[] = {word(window), word(message), word(wParam), word(lParam)};
    return LRESULT(tqCallShifted(word(bytes), word(&SendMessageA), args, 4));
}

void StackShift::pump() const {
    MSG message;
    const uint32_t peek[] = {word(&message), 0, 0, 0, PM_REMOVE};
    const uint32_t dispatchArgs[] = {word(&message)};
    while (tqCallShifted(word(bytes), word(&PeekMessageA), peek, 5) != 0) {
        TranslateMessage(&message);
        tqCallShifted(word(bytes), word(&DispatchMessageA), dispatchArgs, 1);
    }
}
