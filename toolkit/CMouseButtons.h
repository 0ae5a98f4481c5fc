// Mouse buttons and modifier keys of a click, as one bit word.
#pragma once

#include <cstdint>

enum CMouseButtons : int32_t {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
};

inline constexpr int32_t kModifierButtons = kShift | kControl | kAlt;
