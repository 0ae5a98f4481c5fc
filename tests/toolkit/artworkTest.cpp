// Bitmaps 10001 to 10007: sizes, the geometry the display relies on, no
// key-colour white anywhere; bitmaps drawn whole or with transparency.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "resources/bitmapIds.h"
#include "resources/BmpCodec.h"
#include "resources/embeddedResources.h"
#include "resources/PixelPack.h"
#include "toolkit/CBitmap.h"
#include "toolkit/COffscreenContext.h"
#include "toolkitFakes.h"

namespace {

struct Loaded {
    explicit Loaded(int32_t id) : bitmap(new CBitmap(id)) {}
    ~Loaded() { bitmap->forget(); }
    uint32_t at(int32_t x, int32_t y) const { return bitmap->getPixel(x, y); }
    CBitmap* bitmap;
};

int32_t maxChannel(uint32_t p) {
    return std::max({int32_t(p >> 16 & 0xFF), int32_t(p >> 8 & 0xFF), int32_t(p & 0xFF)});
}

int32_t brightness(uint32_t p) {
    return int32_t(p >> 16 & 0xFF) + int32_t(p >> 8 & 0xFF) + int32_t(p & 0xFF);
}

TEST(Artwork, EveryBitmapHasItsSize) {
    const struct {
        int32_t id, width, height;
    } sizes[] = {{10001, 570, 180}, {10002, 570, 180}, {10003, 570, 180}, {10004, 60, 28},
                 {10005, 3, 100},   {10006, 3, 100},   {10007, 41, 12}};
    for (const auto& s : sizes) {
        Loaded b(s.id);
        ASSERT_TRUE(b.bitmap->isLoaded()) << s.id;
        EXPECT_EQ(b.bitmap->getWidth(), s.width) << s.id;
        EXPECT_EQ(b.bitmap->getHeight(), s.height) << s.id;
    }
}

TEST(Artwork, NoBitmapContainsTheKeyColour) {
    for (int32_t id = 10001; id <= 10007; ++id) {
        Loaded b(id);
        for (int32_t y = 0; y < b.bitmap->getHeight(); ++y) {
            for (int32_t x = 0; x < b.bitmap->getWidth(); ++x) {
                ASSERT_NE(b.at(x, y), kWhite) << id << " at " << x << "," << y;
            }
        }
    }
}

TEST(Artwork, BackgroundPlotAreaGridAndTicks) {
    Loaded b(10001);
    const int32_t gridRows[] = {52, 69, 86, 103, 120};
    for (int32_t y = 36; y <= 135; ++y) {
        const bool grid =
            std::find(std::begin(gridRows), std::end(gridRows), y) != std::end(gridRows);
        for (int32_t x = 43; x <= 526; ++x) {
            ASSERT_EQ(b.at(x, y), grid ? rgb(51, 51, 51) : kBlackPixel) << x << "," << y;
        }
    }
    // The plot spans columns 42..527 and rows 35..137, corners slightly curved.
    EXPECT_EQ(b.at(42, 86), rgb(51, 51, 51));
    EXPECT_EQ(b.at(527, 60), kBlackPixel);
    EXPECT_EQ(b.at(300, 35), kBlackPixel);
    EXPECT_EQ(b.at(300, 137), kBlackPixel);
    EXPECT_NE(b.at(42, 35), kBlackPixel);
    EXPECT_NE(b.at(527, 137), kBlackPixel);
    EXPECT_NE(b.at(300, 33), kBlackPixel);
    EXPECT_NE(b.at(40, 86), kBlackPixel);

    for (int32_t k = 0; k < 9; ++k) {
        for (int32_t y = 138; y <= 141; ++y) {
            EXPECT_EQ(b.at(45 + 60 * k, y), rgb(255, 255, 204)) << "tick " << k;
        }
        EXPECT_NE(b.at(46 + 60 * k, 139), rgb(255, 255, 204));
        EXPECT_NE(b.at(45 + 60 * k, 142), rgb(255, 255, 204));
    }
    // Navy where the labels' patches repaint the field.
    for (int32_t k = 0; k < 9; ++k) {
        for (int32_t y = 143; y < 155; ++y) {
            for (int32_t x = 25 + 60 * k; x < 66 + 60 * k; ++x) {
                ASSERT_EQ(b.at(x, y), kNavy) << x << "," << y;
            }
        }
    }
}

TEST(Artwork, BackgroundBevelsCaptionAndTitle) {
    Loaded b(10001);
    EXPECT_GT(brightness(b.at(0, 90)), brightness(kNavy)) << "lighter left edge";
    EXPECT_GT(brightness(b.at(300, 0)), brightness(kNavy)) << "lighter top edge";
    EXPECT_LT(brightness(b.at(569, 90)), brightness(kNavy)) << "darker right edge";
    EXPECT_LT(brightness(b.at(300, 179)), brightness(kNavy)) << "darker bottom edge";

    // Bright text only where the caption and the title are.
    const Ink caption = findInk([&](int32_t x, int32_t y) { return b.at(x, y); },
                                CRect(2, 156 - 1, 568, 178), kNavy);
    ASSERT_TRUE(caption.any());
    EXPECT_GE(caption.left, 252);
    EXPECT_LE(caption.right, 322);
    EXPECT_GE(caption.top, 154);
    EXPECT_LE(caption.bottom, 167);
    int32_t brightCaption = 0;
    int32_t brightTitle = 0;
    for (int32_t y = 0; y < 180; ++y) {
        for (int32_t x = 0; x < 570; ++x) {
            if (brightness(b.at(x, y)) > 600) {
                const bool inCaption = x >= 252 && x <= 322 && y >= 154 && y <= 167;
                const bool inTitle = x >= 482 && x <= 561 && y >= 6 && y <= 21;
                const bool tick = y >= 138 && y <= 141 && (x - 45) % 60 == 0;
                ASSERT_TRUE(inCaption || inTitle || tick) << x << "," << y;
                brightCaption += inCaption;
                brightTitle += inTitle;
            }
        }
    }
    EXPECT_GT(brightCaption, 40);
    EXPECT_GT(brightTitle, 60);
}

TEST(Artwork, SuspendedPictureIsTheBackgroundDimmedNearlyBlack) {
    Loaded normal(10001);
    Loaded dimmed(10003);
    for (int32_t y = 0; y < 180; ++y) {
        for (int32_t x = 0; x < 570; ++x) {
            const uint32_t n = normal.at(x, y);
            const uint32_t d = dimmed.at(x, y);
            ASSERT_LE(maxChannel(d), 64) << x << "," << y;
            ASSERT_LE(brightness(d), brightness(n));
        }
    }
    EXPECT_LT(brightness(dimmed.at(300, 20)), brightness(kNavy));
    EXPECT_GT(brightness(dimmed.at(300, 20)), 0) << "dimmed, not blanked";
}

TEST(Artwork, AboutPictureIsDarkUnderTheVersionLineAndTheButton) {
    Loaded about(10002);
    for (int32_t y = 36; y < 51; ++y) {
        for (int32_t x = 13; x < 233; ++x) {
            ASSERT_LE(maxChannel(about.at(x, y)), 20) << x << "," << y;
        }
    }
    for (int32_t y = 156; y < 170; ++y) {
        for (int32_t x = 487; x < 547; ++x) {
            ASSERT_LE(maxChannel(about.at(x, y)), 40) << x << "," << y;
        }
    }
    // A real picture, not a flat field.
    const Ink ink = findInk([&](int32_t x, int32_t y) { return about.at(x, y); },
                            CRect(0, 0, 570, 180), about.at(300, 100));
    EXPECT_GT(ink.count, 20000);
}

TEST(Artwork, OkButtonHasAReleasedAndADarkerPressedImage) {
    Loaded ok(10004);
    int64_t released = 0;
    int64_t pressed = 0;
    for (int32_t y = 0; y < 14; ++y) {
        for (int32_t x = 0; x < 60; ++x) {
            released += brightness(ok.at(x, y));
            pressed += brightness(ok.at(x, y + 14));
        }
    }
    EXPECT_LT(pressed, released * 3 / 4);
}

TEST(Artwork, BarImagesAndLabelPatchAreExact) {
    Loaded lit(10005);
    Loaded unlit(10006);
    Loaded patch(10007);
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            ASSERT_EQ(lit.at(x, y), y % 2 ? kGreen : kBlackPixel) << x << "," << y;
            ASSERT_EQ(unlit.at(x, y), kBlackPixel);
        }
    }
    for (int32_t y = 0; y < 12; ++y) {
        for (int32_t x = 0; x < 41; ++x) {
            ASSERT_EQ(patch.at(x, y), kNavy);
        }
    }
}

TEST(Bitmap, TransparencyLeavesOutTheKeyColour) {
    CBitmap picture(2, 1);
    picture.getPixels()[0] = kWhite;
    picture.getPixels()[1] = rgb(1, 2, 3);
    COffscreenContext target(2, 1, CColor{200, 0, 0, 255});

    picture.drawTransparent(&target, CRect(0, 0, 2, 1));
    EXPECT_EQ(target.getPixel(0, 0), rgb(200, 0, 0)) << "white is left out";
    EXPECT_EQ(target.getPixel(1, 0), rgb(1, 2, 3));

    picture.setTransparentColor(CColor{1, 2, 3, 255});
    picture.drawTransparent(&target, CRect(0, 0, 2, 1));
    EXPECT_EQ(target.getPixel(0, 0), kWhite);

    picture.draw(&target, CRect(0, 0, 2, 1));
    EXPECT_EQ(target.getPixel(1, 0), rgb(1, 2, 3)) << "drawn whole";
    picture.remember(); // stack object
}

TEST(Bitmap, DrawsTheBlockAtItsOffsetAndNoMoreThanItHas) {
    CBitmap picture(2, 2);
    picture.getPixels()[3] = rgb(7, 7, 7); // (1, 1)
    COffscreenContext target(4, 4, CColor{200, 0, 0, 255});
    picture.draw(&target, CRect(0, 0, 4, 4), CPoint(1, 1));
    EXPECT_EQ(target.getPixel(0, 0), rgb(7, 7, 7));
    EXPECT_EQ(target.getPixel(1, 0), rgb(200, 0, 0)) << "beyond the bitmap nothing is drawn";
    EXPECT_EQ(target.getPixel(0, 1), rgb(200, 0, 0));
    picture.remember();
}

TEST(Bitmap, AMissingResourceIsEmptyAndDrawsNothing) {
    Loaded missing(4242);
    EXPECT_FALSE(missing.bitmap->isLoaded());
    EXPECT_EQ(missing.bitmap->getWidth(), 0);
    COffscreenContext target(2, 2, CColor{200, 0, 0, 255});
    missing.bitmap->draw(&target, CRect(0, 0, 2, 2));
    EXPECT_EQ(target.getPixel(1, 1), rgb(200, 0, 0));
}

TEST(BmpFiles, RoundTripAndDamagedDataIsRefused) {
    const uint32_t pixels[6] = {rgb(1, 2, 3),    rgb(4, 5, 6),    rgb(7, 8, 9),
                                rgb(10, 11, 12), rgb(13, 14, 15), rgb(16, 17, 18)};
    const std::vector<uint8_t> bmp = BmpCodec::encode(3, 2, pixels);
    ASSERT_EQ(bmp.size(), 54u + 2 * 12u) << "rows padded to four bytes";
    int32_t w = 0, h = 0;
    ASSERT_TRUE(BmpCodec::readSize(bmp.data(), bmp.size(), &w, &h));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    uint32_t back[6] = {};
    ASSERT_TRUE(BmpCodec::decode(bmp.data(), bmp.size(), back, 6));
    EXPECT_TRUE(std::equal(std::begin(pixels), std::end(pixels), std::begin(back)));

    EXPECT_FALSE(BmpCodec::decode(bmp.data(), bmp.size(), back, 5)) << "too little room";
    EXPECT_FALSE(BmpCodec::decode(bmp.data(), bmp.size() - 1, back, 6)) << "truncated";
    std::vector<uint8_t> tall = bmp;
    tall[22] = 200; // height 200 rows of data that are not there
    EXPECT_FALSE(BmpCodec::readSize(tall.data(), tall.size(), &w, &h));
    std::vector<uint8_t> notBmp = bmp;
    notBmp[0] = 'X';
    EXPECT_FALSE(BmpCodec::decode(notBmp.data(), notBmp.size(), back, 6));
    EXPECT_EQ(findEmbeddedResource(10008), nullptr);
}

// Every kind of operation: literals (a row of 200, so counts of more than
// one byte), a copy of the row above, a long run, recent colours.
std::vector<uint32_t> packTestPicture() {
    std::vector<uint32_t> p(200 * 4);
    uint32_t seed = 7;
    for (size_t i = 0; i < p.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const size_t row = i / 200;
        p[i] = row == 1 ? p[i - 200] : row == 2 ? rgb(0, 0, 102) : (seed >> 8) | 0x7F000000u;
    }
    for (size_t x = 0; x < 200; x += 2) {
        p[600 + x] = p[x];
        p[601 + x] = p[1];
    }
    return p;
}

std::vector<uint8_t> bytes(std::initializer_list<uint8_t> head, size_t zeros = 0) {
    std::vector<uint8_t> b(head);
    b.resize(b.size() + zeros, 0);
    return b;
}

TEST(PixelPack, EveryDrawnBitmapAndEveryKindOfOperationRoundTrip) {
    for (const int32_t scale : platform::kScales) {
        for (int32_t id = bitmapIds::kBackground; id <= bitmapIds::kLabelBackground; ++id) {
            const int32_t scaled = bitmapIds::atScale(id, scale);
            SCOPED_TRACE(scaled);
            const EmbeddedResource* r = findEmbeddedResource(scaled);
            ASSERT_NE(r, nullptr);
            int32_t w = 0, h = 0;
            ASSERT_TRUE(PixelPack::readSize(r->data, r->size, &w, &h));
            std::vector<uint32_t> pixels(size_t(w) * size_t(h));
            ASSERT_TRUE(PixelPack::decode(r->data, r->size, pixels.data(), pixels.size()));
            EXPECT_EQ(PixelPack::encode(w, h, pixels.data()),
                      std::vector<uint8_t>(r->data, r->data + r->size));
        }
    }

    const std::vector<uint32_t> picture = packTestPicture();
    const std::vector<uint8_t> packed = PixelPack::encode(200, 4, picture.data());
    std::vector<uint32_t> back(picture.size());
    ASSERT_TRUE(PixelPack::decode(packed.data(), packed.size(), back.data(), back.size()));
    for (size_t i = 0; i < picture.size(); ++i) {
        ASSERT_EQ(back[i], picture[i] | 0xFF000000u) << i;
    }
    EXPECT_TRUE(PixelPack::encode(0, 4, picture.data()).empty());
    EXPECT_TRUE(PixelPack::encode(16385, 1, picture.data()).empty());
}

TEST(PixelPack, DamagedDataIsRefusedWithoutReadingOrWritingPastIt) {
    // A 2 x 2 picture.
    const std::vector<uint8_t> header = bytes({'T', 'Q', 'P', 'K', 2, 0, 2, 0});
    const auto packed = [&](std::vector<uint8_t> ops) {
        std::vector<uint8_t> b = header;
        b.insert(b.end(), ops.begin(), ops.end());
        return b;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> data;
        bool good;
    } cases[] = {
        {"four literal pixels", packed(bytes({0xC3}, 12)), true},
        {"one literal, a run, a copy", packed(bytes({0xC0, 1, 2, 3, 0x00, 0x41})), true},
        {"a run before any pixel", packed(bytes({0x03})), false},
        {"a copy from above in the top row", packed(bytes({0xC0, 1, 2, 3, 0x40, 0x41})), false},
        {"more pixels than the picture", packed(bytes({0xC4}, 15)), false},
        {"literal bytes missing", packed(bytes({0xC3}, 11)), false},
        {"data after the picture", packed(bytes({0xC3}, 13)), false},
        {"the picture unfinished", packed(bytes({0xC2}, 9)), false},
        {"a count cut off", packed(bytes({0xC0, 1, 2, 3, 0x3F, 0x80})), false},
        {"a count of five bytes", packed(bytes({0xC0, 1, 2, 3, 0x3F, 0x80, 0x80, 0x80, 0x80, 0})),
         false},
        {"the largest count", packed(bytes({0xC0, 1, 2, 3, 0x3F, 0xFF, 0xFF, 0xFF, 0x7F})), false},
        {"no operations", header, false},
        {"no width", bytes({'T', 'Q', 'P', 'K', 0, 0, 2, 0, 0xC0, 1, 2, 3}), false},
        {"wider than any picture", bytes({'T', 'Q', 'P', 'K', 1, 0x40, 1, 0, 0xC0, 1, 2, 3}),
         false},
        {"not packed", bytes({'T', 'Q', 'P', 'X', 1, 0, 1, 0, 0xC0, 1, 2, 3}), false},
        {"header cut off", bytes({'T', 'Q', 'P', 'K', 1, 0, 1}), false},
    };
    for (const auto& c : cases) {
        std::vector<uint32_t> out(5, 0x12345678u);
        EXPECT_EQ(PixelPack::decode(c.data.data(), c.data.size(), out.data(), 4), c.good) << c.what;
        EXPECT_EQ(out[4], 0x12345678u) << c.what << ": written past the picture";
    }
    std::vector<uint32_t> small(3, 7u);
    const std::vector<uint8_t> good = packed(bytes({0xC3}, 12));
    EXPECT_FALSE(PixelPack::decode(good.data(), good.size(), small.data(), small.size()));
    EXPECT_EQ(small, std::vector<uint32_t>(3, 7u)) << "too little room: nothing written";

    // Every shorter piece of a real picture is refused, and no damaged byte
    // makes the decoder write past the picture (nor, under the sanitizers,
    // read past the data: each piece is a buffer of its own).
    const std::vector<uint32_t> picture = packTestPicture();
    const std::vector<uint8_t> whole = PixelPack::encode(200, 4, picture.data());
    std::vector<uint32_t> out(picture.size() + 16);
    for (size_t n = 0; n < whole.size(); ++n) {
        const std::vector<uint8_t> piece(whole.begin(), whole.begin() + std::ptrdiff_t(n));
        ASSERT_FALSE(PixelPack::decode(piece.data(), piece.size(), out.data(), picture.size()))
            << n << " bytes";
    }
    for (size_t i = 8; i < whole.size(); ++i) {
        for (const uint8_t flip : {0x01, 0x40, 0x80, 0xFF}) {
            std::vector<uint8_t> damaged = whole;
            damaged[i] ^= flip;
            std::fill(out.begin(), out.end(), 0x12345678u);
            PixelPack::decode(damaged.data(), damaged.size(), out.data(), picture.size());
            ASSERT_TRUE(std::all_of(out.begin() + std::ptrdiff_t(picture.size()), out.end(),
                                    [](uint32_t p) { return p == 0x12345678u; }))
                << "byte " << i << " ^ " << int(flip);
        }
    }
}

} // namespace
