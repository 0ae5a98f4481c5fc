// A picture from the bitmap resources (or a blank one), reference counted.
// Drawn whole, or with transparency: pixels of the key colour (white unless
// set otherwise) are left out. Bitmaps of the same resource share its
// decoded pixels read-only; writing into one gives it a copy of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/CColor.h"
#include "toolkit/CRect.h"
#include "toolkit/CReferenceCounter.h"

class CDrawContext;

class CBitmap : public CReferenceCounter {
public:
    // A resource that cannot be loaded gives an empty bitmap (0 x 0).
    explicit CBitmap(int32_t resourceId);
    // A black picture of that size.
    CBitmap(int32_t width, int32_t height);

    int32_t getResourceId() const { return resourceId; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    bool isLoaded() const { return pixels != nullptr; }
    uint32_t getPixel(int32_t x, int32_t y) const;
    // For writing: a bitmap still sharing its resource's pixels copies them
    // first, so no other bitmap sees the change. Null when not loaded.
    uint32_t* getPixels();
    // For reading; never copies.
    const uint32_t* getPixels() const { return pixels ? pixels->data() : nullptr; }

    // Draws the block starting at `offset` into `rect` (local coordinates).
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint()) const;
    void drawTransparent(CDrawContext* context, const CRect& rect,
                         const CPoint& offset = CPoint()) const;

    void setTransparentColor(const CColor& colour) { keyColour = colour; }
    CColor getTransparentColor() const { return keyColour; }

private:
    int32_t resourceId = 0;
    int32_t width = 0;
    int32_t height = 0;
    // Null when not loaded, else width * height values.
    std::shared_ptr<const std::vector<uint32_t>> pixels;
    // The same storage, once it is this bitmap's alone.
    uint32_t* ownPixels = nullptr;
    CColor keyColour = kWhiteCColor;
};
