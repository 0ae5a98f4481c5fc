// Text for the Win32 layer: GDI draws the line with Arial of the numbered
// font's character height at the run's scale, white on black, into a scratch DIB; the grey
// levels it leaves are the coverage with which the run's colour is blended
// into the toolkit's surface. Fonts, the memory DC and the scratch DIB are
// made once and kept, so drawing allocates nothing of ours.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/platform.h"

class GdiText {
public:
    // The one instance of the module, made at first use. User-interface
    // thread only.
    static GdiText& instance();

    // Grows the scratch DIB to hold a line of this size now rather than at
    // the first drawing.
    bool reserve(int32_t width, int32_t height);

    platform::Status drawText(const platform::Surface& surface, const platform::TextRun& run);
    platform::Status textWidth(int32_t font, const char* text, int32_t* width, int32_t scale = 100);
    // The face GDI chose for a numbered font; empty when none was made.
    const char* faceName(int32_t font);
    // Ascent plus descent of a numbered font, 0 when it was not made.
    int32_t cellHeight(int32_t font, int32_t scale = 100);

    GdiText(const GdiText&) = delete;
    GdiText& operator=(const GdiText&) = delete;

private:
    GdiText();
    ~GdiText();
    // Selects the font; its index into fonts and metrics, or -1.
    int32_t select(int32_t font, int32_t scale);

    HDC dc = nullptr;
    HGDIOBJ originalFont = nullptr;
    HGDIOBJ originalBitmap = nullptr;
    // Font f at scale s is entry s * kFontCount + f.
    static constexpr int32_t kFonts = platform::kScaleCount * platform::kFontCount;
    HFONT fonts[kFonts] = {};
    TEXTMETRICA metrics[kFonts] = {};
    char faces[platform::kFontCount][LF_FACESIZE] = {};
    HBITMAP scratch = nullptr;
    uint32_t* scratchBits = nullptr; // top-down, stride scratchWidth
    int32_t scratchWidth = 0;
    int32_t scratchHeight = 0;
};
