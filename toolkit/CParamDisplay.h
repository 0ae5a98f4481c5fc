// A control that shows its value as one line of text: over a background
// bitmap, or, when not transparent, over a filled background with a
// one-pixel frame. A conversion hook may turn the value into the text.
#pragma once

#include <cstdint>

#include "toolkit/CColor.h"
#include "toolkit/CControl.h"

// Writes the text for `value` into `text`, which holds 256 characters.
using CParamDisplayConvert = void (*)(float value, char* text, void* userData);

class CParamDisplay : public CControl {
public:
    // Style bits.
    enum : int32_t { kNoFrame = 8 };
    static constexpr size_t kTextSize = 256;

    explicit CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

    void setFont(int32_t fontId) { font = fontId; }
    int32_t getFont() const { return font; }
    void setFontColor(const CColor& colour) { fontColor = colour; }
    CColor getFontColor() const { return fontColor; }
    void setBackColor(const CColor& colour) { backColor = colour; }
    CColor getBackColor() const { return backColor; }
    void setFrameColor(const CColor& colour) { frameColor = colour; }
    CColor getFrameColor() const { return frameColor; }
    // 0 left, 1 centre, 2 right (CHoriTxtAlign).
    void setHoriAlign(int32_t align) { horiAlign = align; }
    int32_t getHoriAlign() const { return horiAlign; }
    void setStyle(int32_t newStyle) { style = newStyle; }
    int32_t getStyle() const { return style; }
    void setStringConvert(CParamDisplayConvert convert, void* userData = nullptr);

    void draw(CDrawContext* context) override;

protected:
    // Background, then `text` in the rectangle.
    void drawText(CDrawContext* context, const char* text);

    int32_t style;
    int32_t font = 4;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    int32_t horiAlign = 1;
    CParamDisplayConvert stringConvert = nullptr;
    void* userData = nullptr;
};
