// A text display that always shows one fixed text, whatever its value.
#pragma once

#include "toolkit/CParamDisplay.h"

class CLabel : public CParamDisplay {
public:
    // No background bitmap, style 0; a null text gives an empty label.
    CLabel(const CRect& size, const char* text = nullptr);
    ~CLabel() override = default;

    // At most 255 characters and the terminating zero.
    char text[256];

private:
    static void copyText(float value, char* out, void* label);
};
