#include "resources/artwork/TextPen.h"

#include <algorithm>
#include <climits>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

TextPen::TextPen(const std::string& fontFile) {
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        return;
    }
    if (FT_New_Face(library, fontFile.c_str(), 0, &face) != 0) {
        face = nullptr;
    }
}

TextPen::~TextPen() {
    if (face) {
        FT_Done_Face(face);
    }
    if (library) {
        FT_Done_FreeType(library);
    }
}

TextInk TextPen::render(const char* text, int32_t pixelSize) const {
    TextInk ink;
    if (!face || !text || FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize)) != 0) {
        return ink;
    }
    // First pass collects the glyphs' boxes, relative to the pen's start on
    // the baseline (y grows downwards).
    struct Placed {
        int32_t x, y, w, h;
        std::vector<uint8_t> cov;
    };
    std::vector<Placed> glyphs;
    int32_t pen = 0;
    int32_t minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    for (const char* c = text; *c; ++c) {
        if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot g = face->glyph;
        Placed p{pen + g->bitmap_left,
                 -g->bitmap_top,
                 int32_t(g->bitmap.width),
                 int32_t(g->bitmap.rows),
                 {}};
        p.cov.resize(size_t(p.w) * size_t(p.h));
        for (int32_t r = 0; r < p.h; ++r) {
            for (int32_t x = 0; x < p.w; ++x) {
                p.cov[size_t(r) * size_t(p.w) + size_t(x)] =
                    g->bitmap.buffer[r * g->bitmap.pitch + x];
            }
        }
        if (p.w > 0 && p.h > 0) {
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x + p.w);
            maxY = std::max(maxY, p.y + p.h);
        }
        pen += int32_t(g->advance.x >> 6);
        glyphs.push_back(std::move(p));
    }
    if (minX > maxX) {
        return ink;
    }
    ink.mask.width = maxX - minX;
    ink.mask.height = maxY - minY;
    ink.mask.alpha.assign(size_t(ink.mask.width) * size_t(ink.mask.height), 0);
    for (const Placed& p : glyphs) {
        for (int32_t r = 0; r < p.h; ++r) {
            for (int32_t x = 0; x < p.w; ++x) {
                uint8_t& dst = ink.mask.alpha[size_t(p.y - minY + r) * size_t(ink.mask.width) +
                                              size_t(p.x - minX + x)];
                dst = std::max(dst, p.cov[size_t(r) * size_t(p.w) + size_t(x)]);
            }
        }
    }
    // Faint fringes do not count as ink when the box is measured.
    int32_t top = 0;
    int32_t bottom = ink.mask.height;
    auto rowHasInk = [&](int32_t r) {
        for (int32_t x = 0; x < ink.mask.width; ++x) {
            if (ink.mask.alpha[size_t(r) * size_t(ink.mask.width) + size_t(x)] > 40) {
                return true;
            }
        }
        return false;
    };
    while (top < bottom - 1 && !rowHasInk(top)) {
        ++top;
    }
    while (bottom > top + 1 && !rowHasInk(bottom - 1)) {
        --bottom;
    }
    if (top > 0 || bottom < ink.mask.height) {
        std::vector<uint8_t> cropped(ink.mask.alpha.begin() + top * ink.mask.width,
                                     ink.mask.alpha.begin() + bottom * ink.mask.width);
        ink.mask.alpha = std::move(cropped);
        ink.mask.height = bottom - top;
    }
    ink.inkLeft = minX;
    ink.inkTop = -(minY + top);
    return ink;
}

int32_t TextPen::fitSize(const char* text, int32_t width, int32_t height) const {
    int32_t best = 4;
    for (int32_t size = 4; size <= 64; ++size) {
        const TextInk ink = render(text, size);
        if (ink.mask.width > width || ink.mask.height > height) {
            break;
        }
        best = size;
    }
    return best;
}
