// x86-64: the SSE control register, which every float operation obeys.
#include "analysis/DenormalGuard.h"

#include <xmmintrin.h>

namespace {

constexpr uint32_t kFlushToZero = 0x8000u;      // denormal results become 0
constexpr uint32_t kDenormalsAreZero = 0x0040u; // denormal operands read as 0

} // namespace

DenormalGuard::DenormalGuard() : saved(_mm_getcsr()) {
    _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
}

DenormalGuard::~DenormalGuard() {
    _mm_setcsr(saved);
}

bool DenormalGuard::supported() {
    return true;
}

bool DenormalGuard::flushing() {
    const uint32_t mode = _mm_getcsr();
    return (mode & kFlushToZero) != 0 && (mode & kDenormalsAreZero) != 0;
}
