#include "editor/CLabel.h"

#include <cstring>

CLabel::CLabel(const CRect& rect, const char* initial) : CParamDisplay(rect, nullptr, 0) {
    setStringConvert(copyText, this);
    text[0] = '\0';
    if (initial) {
        std::strncpy(text, initial, sizeof text - 1);
        text[sizeof text - 1] = '\0';
    }
    setDirty(true);
}

void CLabel::copyText(float, char* out, void* label) {
    std::strcpy(out, static_cast<const CLabel*>(label)->text);
}
