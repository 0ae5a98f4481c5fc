// Drawing into a 32-bit pixel surface (0xAARRGGBB). Views draw in local
// coordinates: the offset says where local (0, 0) lies on the surface, and
// nothing is drawn outside the clip rectangle or the surface.
#pragma once

#include <cstdint>

#include "toolkit/CColor.h"
#include "toolkit/CRect.h"

class CFrame;

enum CHoriTxtAlign : int32_t { kLeftText = 0, kCenterText = 1, kRightText = 2 };

class CDrawContext {
public:
    // Offset and clip, to be put back after drawing a container's children.
    struct State {
        CPoint offset;
        CRect clip; // surface coordinates
    };

    // `frame` may be null (off-screen drawing has no window).
    CDrawContext(CFrame* frame, uint32_t* pixels, int32_t width, int32_t height);
    virtual ~CDrawContext() = default;
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    CFrame* getFrame() const { return frame; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    uint32_t* getPixels() const { return pixels; }
    // Surface coordinates; 0 outside.
    uint32_t getPixel(int32_t x, int32_t y) const;

    State saveState() const { return State{offset, clip}; }
    void restoreState(const State& state);
    // Back to offset (0, 0) and the whole surface.
    void resetState();
    void setOffset(const CPoint& point) { offset = point; }
    const CPoint& getOffset() const { return offset; }
    // In local coordinates; the clip never leaves the surface.
    void setClipRect(const CRect& rect);
    void clipTo(const CRect& rect);
    CRect getClipRect() const;

    void setFillColor(const CColor& colour) { fillColor = colour; }
    CColor getFillColor() const { return fillColor; }
    void setFrameColor(const CColor& colour) { frameColor = colour; }
    CColor getFrameColor() const { return frameColor; }
    void setFontColor(const CColor& colour) { fontColor = colour; }
    CColor getFontColor() const { return fontColor; }
    void setFont(int32_t fontId) { font = fontId; }
    int32_t getFont() const { return font; }
    // Text is drawn and measured at this scale (percent): the font's
    // height grows with it, positions are the caller's.
    void setScale(int32_t percent) { scale = percent; }
    int32_t getScale() const { return scale; }

    void fillRect(const CRect& rect);
    // A one-pixel frame along the inside of the rectangle, in the frame colour.
    void drawRect(const CRect& rect);
    // Lines in the frame colour; lineTo leaves out its end point.
    void moveTo(const CPoint& point) { penPosition = point; }
    void lineTo(const CPoint& point);
    // One line of text in the font and font colour, centred vertically.
    void drawString(const char* text, const CRect& rect, int32_t horiAlign = kCenterText);
    int32_t getStringWidth(const char* text) const;

    // Copies the block of a source picture that starts at `srcOffset` into
    // `dest`; pixels equal to *keyColour (when given) are left out.
    void drawPixels(const uint32_t* src, int32_t srcWidth, int32_t srcHeight, const CRect& dest,
                    const CPoint& srcOffset, const uint32_t* keyColour);

    // The pointer in local coordinates, one pass of a tracking loop; false
    // when there is no window.
    bool pollMouse(CPoint& where, int32_t& buttons);

protected:
    void attachPixels(uint32_t* surface, int32_t surfaceWidth, int32_t surfaceHeight);

private:
    void plot(int32_t x, int32_t y, const CColor& colour);

    CFrame* frame;
    uint32_t* pixels;
    int32_t width;
    int32_t height;
    CPoint offset;
    CRect clip;
    CPoint penPosition;
    CColor fillColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor fontColor = kWhiteCColor;
    int32_t font = 4;
    int32_t scale = 100;
};
