#include "platform/x11/X11Fonts.h"

#include <memory>

#include <fontconfig/fontconfig.h>

#include "platform/freetype/GlyphCache.h"

namespace {

std::unique_ptr<GlyphCache> loadGlyphs() {
    auto cache = std::make_unique<GlyphCache>(X11Fonts::arialFile().c_str());
    if (!cache->ready()) {
        // No fontconfig answer we can render: the font the build used.
        cache = std::make_unique<GlyphCache>(TQ_X11_FALLBACK_FONT_FILE);
    }
    return cache;
}

} // namespace

const GlyphCache& X11Fonts::glyphs() {
    static const std::unique_ptr<GlyphCache> cache = loadGlyphs();
    return *cache;
}

std::string X11Fonts::arialFile() {
    // A configuration of our own: the host's current one stays untouched.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) {
        return std::string();
    }
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Arial"));
    if (pattern) {
        FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
                file = reinterpret_cast<const char*>(path);
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return file;
}
