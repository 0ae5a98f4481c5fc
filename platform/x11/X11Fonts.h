// Text on X11: the numbered fonts are Arial as fontconfig resolves it (on
// most systems its metric twin Liberation Sans), rendered by the shared
// FreeType glyph cache. The same file gives the same pixels as the
// headless layer.
#pragma once

#include <string>

class GlyphCache;

class X11Fonts {
public:
    // The process's glyph cache, built at first use.
    static const GlyphCache& glyphs();
    // The file fontconfig matches for regular Arial; empty if none.
    static std::string arialFile();
};
