// The AEffect record and the editor rectangle as hosts compiled against
// them lay them out, checked at compile time for the target being built:
// 64-bit and 32-bit, Linux and Windows alike.
#include <cstddef>

#include "vst/AEffect.h"

namespace {

constexpr bool k64 = sizeof(void*) == 8;

static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == (k64 ? 8 : 4));
static_assert(offsetof(AEffect, numPrograms) == (k64 ? 40 : 20));
static_assert(offsetof(AEffect, flags) == (k64 ? 56 : 36));
static_assert(offsetof(AEffect, resvd1) == (k64 ? 64 : 40));
static_assert(offsetof(AEffect, initialDelay) == (k64 ? 80 : 48));
static_assert(offsetof(AEffect, ioRatio) == (k64 ? 92 : 60));
static_assert(offsetof(AEffect, object) == (k64 ? 96 : 64));
static_assert(offsetof(AEffect, uniqueID) == (k64 ? 112 : 72));
static_assert(offsetof(AEffect, processReplacing) == (k64 ? 120 : 80));
static_assert(offsetof(AEffect, processDoubleReplacing) == (k64 ? 128 : 84));
static_assert(offsetof(AEffect, future) == (k64 ? 136 : 88));
static_assert(sizeof(AEffect) == (k64 ? 192 : 144));
static_assert(sizeof(ERect) == 8);
static_assert(sizeof(VstIntPtr) == sizeof(void*));

} // namespace
