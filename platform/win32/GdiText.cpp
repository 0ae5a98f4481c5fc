#include "platform/win32/GdiText.h"

#include <algorithm>
#include <cstring>

#include "platform/textCoverage.h"

namespace {

using textCoverage::blendPixel;
using textCoverage::floorHalf;

// Anti-aliased edges and overhangs may reach a little past the advance.
constexpr int32_t kInkMargin = 2;

} // namespace

GdiText& GdiText::instance() {
    static GdiText text;
    return text;
}

GdiText::GdiText() {
    dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    for (int32_t i = 0; i < kFonts; ++i) {
        const int32_t f = i % platform::kFontCount;
        const int32_t height = platform::scaledLength(platform::kFontHeights[f],
                                                      platform::kScales[i / platform::kFontCount]);
        // A negative height asks for the character (em) height, the same
        // size the FreeType layers set for a numbered font.
        fonts[i] = CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                               OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH | FF_SWISS, "Arial");
        if (!fonts[i]) {
            continue;
        }
        HGDIOBJ previous = SelectObject(dc, fonts[i]);
        if (!originalFont) {
            originalFont = previous;
        }
        GetTextMetricsA(dc, &metrics[i]);
        if (i < platform::kFontCount) {
            GetTextFaceA(dc, LF_FACESIZE, faces[f]);
        }
    }
}

GdiText::~GdiText() {
    if (dc) {
        if (originalFont) {
            SelectObject(dc, originalFont);
        }
        if (originalBitmap) {
            SelectObject(dc, originalBitmap);
        }
        DeleteDC(dc);
    }
    for (HFONT font : fonts) {
        if (font) {
            DeleteObject(font);
        }
    }
    if (scratch) {
        DeleteObject(scratch);
    }
}

bool GdiText::reserve(int32_t width, int32_t height) {
    if (!dc || width <= 0 || height <= 0) {
        return false;
    }
    if (width <= scratchWidth && height <= scratchHeight) {
        return true;
    }
    const int32_t w = std::max(width, scratchWidth);
    const int32_t h = std::max(height, scratchHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!bitmap || !memory) {
        return false;
    }
    HGDIOBJ previous = SelectObject(dc, bitmap);
    if (scratch) {
        DeleteObject(scratch);
    } else {
        originalBitmap = previous;
    }
    scratch = bitmap;
    scratchBits = static_cast<uint32_t*>(memory);
    scratchWidth = w;
    scratchHeight = h;
    return true;
}

int32_t GdiText::select(int32_t font, int32_t scale) {
    const int32_t s = platform::scaleIndex(scale);
    if (!dc || font < 0 || font >= platform::kFontCount || s < 0) {
        return -1;
    }
    const int32_t i = s * platform::kFontCount + font;
    if (!fonts[i]) {
        return -1;
    }
    SelectObject(dc, fonts[i]);
    return i;
}

const char* GdiText::faceName(int32_t font) {
    return font >= 0 && font < platform::kFontCount ? faces[font] : "";
}

int32_t GdiText::cellHeight(int32_t font, int32_t scale) {
    const int32_t s = platform::scaleIndex(scale);
    if (font < 0 || font >= platform::kFontCount || s < 0) {
        return 0;
    }
    const int32_t i = s * platform::kFontCount + font;
    return fonts[i] ? metrics[i].tmAscent + metrics[i].tmDescent : 0;
}

platform::Status GdiText::textWidth(int32_t font, const char* text, int32_t* width, int32_t scale) {
    if (!text || !width || font < 0 || font >= platform::kFontCount ||
        platform::scaleIndex(scale) < 0) {
        return platform::Status::invalidArgument;
    }
    if (select(font, scale) < 0) {
        return platform::Status::notFound;
    }
    SIZE extent{};
    if (!GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &extent)) {
        return platform::Status::failed;
    }
    *width = extent.cx;
    return platform::Status::ok;
}

platform::Status GdiText::drawText(const platform::Surface& surface, const platform::TextRun& run) {
    if (!run.text || !surface.pixels || surface.width <= 0 || surface.height <= 0 || run.font < 0 ||
        run.font >= platform::kFontCount || platform::scaleIndex(run.scale) < 0) {
        return platform::Status::invalidArgument;
    }
    const int32_t selected = select(run.font, run.scale);
    if (selected < 0) {
        return platform::Status::notFound;
    }
    const int length = int(std::strlen(run.text));
    SIZE extent{};
    if (length > 0 && !GetTextExtentPoint32A(dc, run.text, length, &extent)) {
        return platform::Status::failed;
    }
    // Placed as the FreeType layers place it: aligned in the box
    // horizontally, the line's cell (ascent + descent) centred vertically.
    const TEXTMETRICA& m = metrics[selected];
    int32_t pen = run.box.left;
    if (run.align == platform::TextAlign::centre) {
        pen = run.box.left + floorHalf(run.box.right - run.box.left - extent.cx);
    } else if (run.align == platform::TextAlign::right) {
        pen = run.box.right - extent.cx;
    }
    const int32_t cell = m.tmAscent + m.tmDescent;
    const int32_t cellTop = run.box.top + floorHalf(run.box.bottom - run.box.top - cell);

    // Only the part of the line's cell inside the clip and the surface.
    const int32_t left = std::max({run.clip.left, 0, pen - kInkMargin});
    const int32_t top = std::max({run.clip.top, 0, cellTop});
    const int32_t right =
        std::min({run.clip.right, surface.width, pen + int32_t(extent.cx) + kInkMargin});
    const int32_t bottom = std::min({run.clip.bottom, surface.height, cellTop + cell});
    if (length == 0 || left >= right || top >= bottom) {
        return platform::Status::ok;
    }
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    if (!reserve(w, h)) {
        return platform::Status::failed;
    }
    GdiFlush();
    for (int32_t y = 0; y < h; ++y) {
        std::fill_n(scratchBits + size_t(y) * size_t(scratchWidth), size_t(w), 0u);
    }
    RECT area{0, 0, w, h};
    ExtTextOutA(dc, pen - left, cellTop - top, ETO_CLIPPED, &area, run.text, UINT(length), nullptr);
    GdiFlush();

    const uint32_t colourAlpha = run.colour >> 24;
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* ink = scratchBits + size_t(y) * size_t(scratchWidth);
        uint32_t* row = surface.pixels + size_t(top + y) * size_t(surface.width) + size_t(left);
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = ink[x];
            // Grey-scale anti-aliasing leaves equal channels; should the
            // system smooth in colour, their mean is the coverage.
            const uint32_t coverage = ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3;
            if (coverage == 0) {
                continue;
            }
            const uint32_t alpha = (coverage * colourAlpha + 127) / 255;
            row[x] = blendPixel(row[x], run.colour, alpha);
        }
    }
    return platform::Status::ok;
}
