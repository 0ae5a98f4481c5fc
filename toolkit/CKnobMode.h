// The process-wide knob mode the host sets; knobs read it when dragged.
#pragma once

#include <cstdint>

class CKnobMode {
public:
    enum : int32_t { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

    static void set(int32_t mode);
    static int32_t get();
};
