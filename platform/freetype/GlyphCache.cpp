#include "platform/freetype/GlyphCache.h"

#include <algorithm>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/textCoverage.h"

using textCoverage::blendPixel;
using textCoverage::floorHalf;

namespace {

// FreeType's handles, let go however the rendering ends: out of memory for
// the coverage, it throws.
struct FreeTypeHandles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FreeTypeHandles() = default;
    FreeTypeHandles(const FreeTypeHandles&) = delete;
    FreeTypeHandles& operator=(const FreeTypeHandles&) = delete;
    ~FreeTypeHandles() {
        if (face) {
            FT_Done_Face(face);
        }
        if (library) {
            FT_Done_FreeType(library);
        }
    }
};

} // namespace

GlyphCache::GlyphCache(const char* fontFile) {
    FreeTypeHandles handles;
    if (!fontFile || FT_Init_FreeType(&handles.library) != 0 ||
        FT_New_Face(handles.library, fontFile, 0, &handles.face) != 0) {
        return;
    }
    const FT_Face face = handles.face;
    loaded = true;
    for (int32_t i = 0; i < platform::kScaleCount * platform::kFontCount && loaded; ++i) {
        const int32_t s = i / platform::kFontCount;
        const int32_t f = i % platform::kFontCount;
        // The numbered font's height is the em size, as a character height.
        const int32_t height =
            platform::scaledLength(platform::kFontHeights[f], platform::kScales[s]);
        if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(height)) != 0) {
            loaded = false;
            break;
        }
        Font& font = fonts[s][f];
        font.ascender = int32_t((face->size->metrics.ascender + 63) >> 6);
        font.descender = int32_t((-face->size->metrics.descender + 63) >> 6);
        for (int32_t c = kFirst; c <= kLast; ++c) {
            Glyph& g = font.glyphs[c - kFirst];
            if (FT_Load_Char(face, FT_ULong(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
                continue;
            }
            const FT_GlyphSlot slot = face->glyph;
            g.left = slot->bitmap_left;
            g.top = slot->bitmap_top;
            g.width = int32_t(slot->bitmap.width);
            g.rows = int32_t(slot->bitmap.rows);
            g.advance = int32_t((slot->advance.x + 32) >> 6);
            g.offset = coverage.size();
            for (int32_t r = 0; r < g.rows; ++r) {
                const unsigned char* row = slot->bitmap.buffer + r * slot->bitmap.pitch;
                coverage.insert(coverage.end(), row, row + g.width);
            }
        }
    }
}

const GlyphCache::Font* GlyphCache::fontAt(int32_t font, int32_t scale) const {
    const int32_t s = platform::scaleIndex(scale);
    if (font < 0 || font >= platform::kFontCount || s < 0) {
        return nullptr;
    }
    return &fonts[s][font];
}

const GlyphCache::Glyph* GlyphCache::find(const Font& font, char c) const {
    const int32_t code = static_cast<unsigned char>(c);
    if (code < kFirst || code > kLast) {
        return nullptr;
    }
    return &font.glyphs[code - kFirst];
}

int32_t GlyphCache::measure(const Font& font, const char* text) const {
    int32_t width = 0;
    for (const char* c = text; *c; ++c) {
        if (const Glyph* g = find(font, *c)) {
            width += g->advance;
        }
    }
    return width;
}

platform::Status GlyphCache::textWidth(int32_t font, const char* text, int32_t* width,
                                       int32_t scale) const {
    const Font* f = fontAt(font, scale);
    if (!text || !width || !f) {
        return platform::Status::invalidArgument;
    }
    if (!loaded) {
        return platform::Status::notFound;
    }
    *width = measure(*f, text);
    return platform::Status::ok;
}

platform::Status GlyphCache::drawText(const platform::Surface& surface,
                                      const platform::TextRun& run) const {
    const Font* found = fontAt(run.font, run.scale);
    if (!run.text || !surface.pixels || surface.width <= 0 || surface.height <= 0 || !found) {
        return platform::Status::invalidArgument;
    }
    if (!loaded) {
        return platform::Status::notFound;
    }
    const Font& font = *found;
    const int32_t clipLeft = std::max(run.clip.left, 0);
    const int32_t clipTop = std::max(run.clip.top, 0);
    const int32_t clipRight = std::min(run.clip.right, surface.width);
    const int32_t clipBottom = std::min(run.clip.bottom, surface.height);
    if (clipLeft >= clipRight || clipTop >= clipBottom) {
        return platform::Status::ok;
    }

    const int32_t textWidth = measure(font, run.text);
    int32_t pen = run.box.left;
    if (run.align == platform::TextAlign::centre) {
        pen = run.box.left + floorHalf(run.box.right - run.box.left - textWidth);
    } else if (run.align == platform::TextAlign::right) {
        pen = run.box.right - textWidth;
    }
    // The line's cell (ascender + descender) is centred in the box.
    const int32_t cell = font.ascender + font.descender;
    const int32_t baseline =
        run.box.top + floorHalf(run.box.bottom - run.box.top - cell) + font.ascender;
    const uint32_t colourAlpha = run.colour >> 24;

    for (const char* c = run.text; *c; ++c) {
        const Glyph* g = find(font, *c);
        if (!g) {
            continue;
        }
        const int32_t x0 = pen + g->left;
        const int32_t y0 = baseline - g->top;
        for (int32_t r = 0; r < g->rows; ++r) {
            const int32_t y = y0 + r;
            if (y < clipTop || y >= clipBottom) {
                continue;
            }
            const uint8_t* cov = coverage.data() + g->offset + size_t(r) * size_t(g->width);
            uint32_t* row = surface.pixels + size_t(y) * size_t(surface.width);
            for (int32_t col = 0; col < g->width; ++col) {
                const int32_t x = x0 + col;
                if (x < clipLeft || x >= clipRight || cov[col] == 0) {
                    continue;
                }
                const uint32_t alpha = (uint32_t(cov[col]) * colourAlpha + 127) / 255;
                row[x] = blendPixel(row[x], run.colour, alpha);
            }
        }
        pen += g->advance;
    }
    return platform::Status::ok;
}
