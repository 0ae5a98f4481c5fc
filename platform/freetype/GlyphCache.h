// Text for the layers that draw with FreeType: one font file, every
// printable ASCII glyph of every numbered font at every scale rendered once
// (hinted, grey-scale) and kept. Drawing then only blends stored coverage, so it
// never allocates. The same file gives the same pixels on every layer.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

class GlyphCache {
public:
    // Renders the glyphs of `fontFile`; ready() is false if it cannot. Out
    // of memory it throws, and holds nothing of FreeType's.
    explicit GlyphCache(const char* fontFile);
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    bool ready() const { return loaded; }
    platform::Status drawText(const platform::Surface& surface, const platform::TextRun& run) const;
    platform::Status textWidth(int32_t font, const char* text, int32_t* width,
                               int32_t scale = 100) const;

private:
    static constexpr int32_t kFirst = 32;
    static constexpr int32_t kLast = 126;
    static constexpr int32_t kGlyphs = kLast - kFirst + 1;

    struct Glyph {
        int32_t left = 0; // from the pen to the coverage's left column
        int32_t top = 0;  // from the baseline up to the coverage's top row
        int32_t width = 0;
        int32_t rows = 0;
        int32_t advance = 0; // whole pixels
        size_t offset = 0;   // into coverage
    };
    struct Font {
        int32_t ascender = 0;
        int32_t descender = 0; // below the baseline, positive
        Glyph glyphs[kGlyphs];
    };

    // Null for a font number or scale we do not have.
    const Font* fontAt(int32_t font, int32_t scale) const;
    const Glyph* find(const Font& font, char c) const;
    int32_t measure(const Font& font, const char* text) const;

    bool loaded = false;
    Font fonts[platform::kScaleCount][platform::kFontCount];
    std::vector<uint8_t> coverage;
};
