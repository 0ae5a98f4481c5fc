// Text displays: background bitmap or filled box with frame, white text
// centred or one pixel inside the left edge, text from the conversion hook.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "toolkit/CBitmap.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"
#include "toolkitFakes.h"

namespace {

void copyText(float, char* out, void* user) {
    std::strcpy(out, static_cast<const char*>(user));
}

class ParamDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(f.opened);
        background = new CBitmap(10001);
        f.frame->setBackground(background);
        background->forget();
        patch = new CBitmap(10007);
    }
    void TearDown() override { patch->forget(); }

    // A label as the editor makes it: patch 10007, transparency, font 6, white, centred.
    CParamDisplay* addLabel(const CRect& rect, const char* text) {
        auto* label = new CParamDisplay(rect, patch, 0);
        label->setFont(6);
        label->setFontColor(kWhiteCColor);
        label->setTransparency(true);
        label->setHoriAlign(kCenterText);
        label->setStringConvert(copyText, const_cast<char*>(text));
        f.frame->addView(label);
        return label;
    }
    Ink ink(const CRect& area, uint32_t bg) {
        return findInk([&](int32_t x, int32_t y) { return f.window.pixel(x, y); }, area, bg);
    }

    OpenFrame f;
    CBitmap* background = nullptr;
    CBitmap* patch = nullptr;
};

TEST_F(ParamDisplay, ALabelDrawsWhiteTextCentredOnItsPatch) {
    const CRect rect(145, 143, 186, 155); // label 2 of the editor
    addLabel(rect, "5.5k");
    f.frame->idle();

    const Ink text = ink(rect, kNavy);
    ASSERT_TRUE(text.any());
    EXPECT_NEAR(text.centreX(), (rect.left + rect.right - 1) / 2.0, 1.0);
    EXPECT_NEAR(text.centreY(), (rect.top + rect.bottom - 1) / 2.0, 1.5);
    EXPECT_GE(text.bottom - text.top + 1, 6) << "about a 9-pixel font";
    EXPECT_LE(text.bottom - text.top + 1, 9);

    int32_t white = 0;
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            const uint32_t p = f.window.pixel(x, y);
            white += p == kWhite;
            // Every pixel lies between navy and white.
            const uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
            EXPECT_EQ(r, g);
            EXPECT_GE(b, r);
        }
    }
    EXPECT_GT(white, 5) << "the strokes are white";
    for (int32_t y = 138; y < 160; ++y) {
        for (int32_t x = 140; x < 191; ++x) {
            if (!rect.pointInside(CPoint(x, y))) {
                ASSERT_EQ(f.window.pixel(x, y), background->getPixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(ParamDisplay, LeadingSpacesCountWhenTheTextIsCentred) {
    const CRect a(25, 143, 66, 155);
    const CRect b(85, 143, 126, 155);
    addLabel(a, "0");
    addLabel(b, "  0");
    f.frame->idle();
    const Ink plain = ink(a, kNavy);
    const Ink spaced = ink(b, kNavy);
    ASSERT_TRUE(plain.any() && spaced.any());

    CDrawContext measure(nullptr, nullptr, 0, 0);
    measure.setFont(6);
    const double half = measure.getStringWidth("  ") / 2.0;
    ASSERT_GT(half, 0.0);
    EXPECT_NEAR((spaced.centreX() - b.left) - (plain.centreX() - a.left), half, 1.0);
}

TEST_F(ParamDisplay, AnOpaqueDisplayFillsItsBoxDrawsAFrameAndLeftText) {
    const CRect rect(13, 36, 233, 51);
    auto* display = new CParamDisplay(rect);
    display->setFont(4);
    display->setFontColor(kWhiteCColor);
    display->setFrameColor(CColor{200, 0, 0, 255});
    display->setHoriAlign(kLeftText);
    display->setStringConvert(copyText, const_cast<char*>("Version 1.3.0"));
    f.frame->addView(display);
    f.frame->idle();

    const uint32_t frameRed = rgb(200, 0, 0);
    for (int32_t x = rect.left; x < rect.right; ++x) {
        EXPECT_EQ(f.window.pixel(x, rect.top), frameRed);
        EXPECT_EQ(f.window.pixel(x, rect.bottom - 1), frameRed);
    }
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        EXPECT_EQ(f.window.pixel(rect.left, y), frameRed);
        EXPECT_EQ(f.window.pixel(rect.right - 1, y), frameRed);
    }
    EXPECT_EQ(f.window.pixel(200, 43), kBlackPixel) << "the background colour is black";

    const Ink text =
        ink(CRect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1), kBlackPixel);
    ASSERT_TRUE(text.any());
    EXPECT_GE(text.left, rect.left + 1);
    EXPECT_LE(text.left, rect.left + 3) << "starts one pixel inside the left edge";
    EXPECT_LE(std::abs((text.top - rect.top) - (rect.bottom - 1 - text.bottom)), 3)
        << "vertically centred";
    EXPECT_EQ(f.window.pixel(text.left + 1, text.top + 1) >> 24, 0xFFu);
}

TEST_F(ParamDisplay, WithoutAHookTheValueIsShownWithTwoDecimals) {
    auto* plain = new CParamDisplay(CRect(100, 20, 160, 32));
    plain->setValue(0.5f);
    auto* hooked = new CParamDisplay(CRect(200, 20, 260, 32));
    hooked->setStringConvert(copyText, const_cast<char*>("0.50"));
    for (CParamDisplay* d : {plain, hooked}) {
        d->setFont(6);
        f.frame->addView(d);
    }
    f.frame->idle();
    for (int32_t y = 20; y < 32; ++y) {
        for (int32_t x = 0; x < 60; ++x) {
            ASSERT_EQ(f.window.pixel(100 + x, y), f.window.pixel(200 + x, y));
        }
    }
    EXPECT_TRUE(ink(CRect(101, 21, 159, 31), kBlackPixel).any());
}

TEST_F(ParamDisplay, AMenuShowsItsCurrentEntryLikeALabelWithoutBackground) {
    auto* menu = new COptionMenu(CRect(20, 3, 55, 17), nullptr, 2);
    menu->addEntry("View");
    menu->setCurrent(0);
    auto* label = new CParamDisplay(CRect(120, 3, 155, 17));
    label->setStringConvert(copyText, const_cast<char*>("View"));
    for (CParamDisplay* d : {static_cast<CParamDisplay*>(menu), label}) {
        d->setFont(6);
        d->setFontColor(kWhiteCColor);
        d->setTransparency(true);
        f.frame->addView(d);
    }
    f.frame->idle();

    int32_t differing = 0;
    for (int32_t y = 3; y < 17; ++y) {
        for (int32_t x = 0; x < 35; ++x) {
            // Where the text is white both agree; elsewhere each shows its background.
            const bool menuWhite = f.window.pixel(20 + x, y) == kWhite;
            const bool labelWhite = f.window.pixel(120 + x, y) == kWhite;
            differing += menuWhite != labelWhite;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(f.window.pixel(22, 4), background->getPixel(22, 4)) << "no box is painted";
    const Ink text = findInk(
        [&](int32_t x, int32_t y) { return f.window.pixel(x, y) ^ background->getPixel(x, y); },
        CRect(20, 3, 55, 17), 0);
    EXPECT_GT(text.count, 15) << "the menu reads its current entry";
    EXPECT_NEAR(text.centreX(), 37.0, 1.5) << "centred";
}

TEST_F(ParamDisplay, TextNeverLeavesTheDisplay) {
    const CRect rect(300, 20, 310, 30);
    auto* d = new CParamDisplay(rect);
    d->setTransparency(true);
    d->setFont(4);
    d->setStringConvert(copyText, const_cast<char*>("a long text in a small box"));
    f.frame->addView(d);
    f.frame->idle();
    for (int32_t y = 10; y < 40; ++y) {
        for (int32_t x = 250; x < 360; ++x) {
            if (!rect.pointInside(CPoint(x, y))) {
                ASSERT_EQ(f.window.pixel(x, y), background->getPixel(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(ink(rect, kNavy).any());
}

} // namespace
