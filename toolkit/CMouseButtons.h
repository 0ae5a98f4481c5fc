// Mouse buttons and modifier keys of a click, as one bit word: the platform
// layer's word, handed through unchanged.
#pragma once

#include <cstdint>

#include "platform/platform.h"

enum CMouseButtons : int32_t {
    kLButton = platform::kMouseLeft,
    kMButton = platform::kMouseMiddle,
    kRButton = platform::kMouseRight,
    kShift = platform::kModShift,
    kControl = platform::kModControl,
    kAlt = platform::kModAlt,
};

inline constexpr int32_t kModifierButtons = kShift | kControl | kAlt;
