// Renders one line of text with FreeType into a coverage mask, for the
// captions and titles painted into the artwork.
#pragma once

#include <cstdint>
#include <string>

#include "resources/artwork/Canvas.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

// A rendered text: the mask is cropped to the ink; inkTop is how far the
// ink's top lies above the baseline, inkLeft how far right of the pen.
struct TextInk {
    Mask mask;
    int32_t inkLeft = 0;
    int32_t inkTop = 0;
};

class TextPen {
public:
    explicit TextPen(const std::string& fontFile);
    ~TextPen();
    TextPen(const TextPen&) = delete;
    TextPen& operator=(const TextPen&) = delete;

    bool ok() const { return face != nullptr; }
    TextInk render(const char* text, int32_t pixelSize) const;
    // The largest size whose ink fits into width x height.
    int32_t fitSize(const char* text, int32_t width, int32_t height) const;

private:
    FT_LibraryRec_* library = nullptr;
    FT_FaceRec_* face = nullptr;
};
