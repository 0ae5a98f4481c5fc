#pragma once

#include <cstdint>

// While it lives, the thread's floating-point unit flushes denormal results
// to zero and reads denormal operands as zero, so that a quiet tail fading
// through the denormal range costs the audio thread no more than silence.
// The caller's mode comes back when it goes out of scope. Only values far
// below anything the analysis can show (-30 dB) are affected: a frame of
// normal samples gives the same bits either way.
//
// The build picks the implementation: the SSE control register on x86-64,
// nothing where there is no such switch.
class DenormalGuard {
public:
    DenormalGuard();
    ~DenormalGuard();
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

    // Whether this build can switch the mode at all.
    static bool supported();
    // Whether denormals are being flushed on this thread right now.
    static bool flushing();

private:
    uint32_t saved;
};
