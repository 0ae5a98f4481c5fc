// What the window shows after idle: bars in their places and their lit
// segments, labels and menu titles in white and centred, the About panel
// and the dimmed suspended panel.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/platform.h"
#include "PluginRig.h"
#include "resources/bitmapIds.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CVuMeter.h"
#include "vst/AEffect.h"
#include "windowProbe.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
// Text is centred by its advance widths; the glyphs' side bearings move
// the visible ink by up to this many pixels.
constexpr int32_t kCentreSlack = 2;

uint32_t red(uint32_t p) {
    return (p >> 16) & 0xFF;
}
uint32_t green(uint32_t p) {
    return (p >> 8) & 0xFF;
}
uint32_t blue(uint32_t p) {
    return p & 0xFF;
}

bool insideAny(int32_t x, int32_t y, const std::vector<CRect>& rects) {
    for (const CRect& r : rects) {
        if (r.pointInside(CPoint(x, y))) {
            return true;
        }
    }
    return false;
}

void fillAllBars(PluginRig& rig) {
    for (CVuMeter* bar : rig.editor()->bars) {
        bar->setValue(1.0f);
        bar->setDirty(true);
    }
    rig.idle();
}

class EditorPixels : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.openAndIdle()); }
    PluginRig rig;
};

} // namespace

TEST_F(EditorPixels, OutsideItsViewsTheWindowIsTheBackground) {
    EXPECT_EQ(differencesFrom(rig.window, bitmapIds::kBackground, editorViewRects()), 0);
}

TEST_F(EditorPixels, BarsStandInTheirRectangles) {
    fillAllBars(rig);
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        const CRect bar = PluginRig::barRect(i);
        EXPECT_EQ(rig.litSegments(i), 50) << "bar " << i;
        for (int32_t x = bar.left; x < bar.right; ++x) {
            EXPECT_EQ(rig.window.pixel(x, 37), PluginRig::kLitGreen) << "top segment, bar " << i;
            EXPECT_EQ(rig.window.pixel(x, 135), PluginRig::kLitGreen)
                << "bottom segment, bar " << i;
            EXPECT_EQ(rig.window.pixel(x, 36), kBlack) << "top row is black, bar " << i;
            EXPECT_NE(rig.window.pixel(x, 136), PluginRig::kLitGreen) << "below bar " << i;
        }
        // The two columns between neighbours show the plot area.
        for (int32_t y = 30; y < 140; ++y) {
            ASSERT_NE(rig.window.pixel(bar.left - 1, y), PluginRig::kLitGreen) << "bar " << i;
            ASSERT_NE(rig.window.pixel(bar.right, y), PluginRig::kLitGreen) << "bar " << i;
        }
    }
    // Nothing green in the plot area outside the bars.
    const std::vector<CRect> views = editorViewRects();
    const std::vector<CRect> bars(views.begin() + 11, views.end());
    for (int32_t y = 35; y < 138; ++y) {
        for (int32_t x = 42; x < 528; ++x) {
            if (!insideAny(x, y, bars)) {
                ASSERT_NE(rig.window.pixel(x, y), PluginRig::kLitGreen) << x << "," << y;
            }
        }
    }
}

// Drawn once per decay step, a full bar falls a tenth per step on screen
// while its value is already at 0.
TEST_F(EditorPixels, AFullBarFallingToZeroShowsFortyFiveFortyAndSoOnThenNone) {
    fillAllBars(rig);
    for (auto& level : rig.core()->bandLevel) {
        level.store(0.0f);
    }
    for (int32_t lit = 45; lit >= 0; lit -= 5) {
        rig.decayStep();
        for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
            ASSERT_EQ(rig.litSegments(i), lit) << "bar " << i;
        }
    }
    rig.decayStep();
    EXPECT_EQ(rig.litSegments(0), 0);
}

TEST_F(EditorPixels, AnAnalysedToneLightsItsBarAndTheBarFollowsTheFall) {
    rig.playSine(100, 4096 * 3); // band 18
    const int32_t expected[] = {40, 35, 30, 25, 20, 15, 10, 5, 0};
    for (int32_t lit : expected) {
        rig.decayStep();
        ASSERT_EQ(rig.litSegments(18), lit);
    }
    EXPECT_EQ(rig.litSegments(60), 0);
}

TEST_F(EditorPixels, LabelsAreWhiteAndCentred) {
    for (int32_t k = 0; k < 9; ++k) {
        const CRect label = PluginRig::labelRect(k);
        const Ink ink = findInk(rig.window, label);
        ASSERT_GT(ink.pixels, 0) << "label " << k;
        EXPECT_GE(ink.brightest, 0xF0u) << "label " << k;
        // White blended into the navy patch: grey in red and green, bluer.
        for (int32_t y = label.top; y < label.bottom; ++y) {
            for (int32_t x = label.left; x < label.right; ++x) {
                const uint32_t p = rig.window.pixel(x, y);
                ASSERT_EQ(red(p), green(p)) << x << "," << y;
                ASSERT_GE(blue(p), red(p)) << x << "," << y;
                ASSERT_GE(blue(p), 102u) << x << "," << y;
            }
        }
        const int32_t offCentre = ink.leftMargin(label) - ink.rightMargin(label);
        if (k == 0) {
            // "  0": the two spaces are centred with the digit, which
            // therefore sits right of the middle.
            EXPECT_GE(offCentre, 4);
        } else {
            EXPECT_LE(std::abs(offCentre), kCentreSlack) << "label " << k;
        }
    }
}

// Each label's patch is its text of the table in font 6, white, centred
// on navy: drawn here on a blank patch and compared pixel by pixel.
TEST_F(EditorPixels, LabelsShowTheTextsOfTheTable) {
    const std::vector<std::vector<std::string>> tables = {PluginRig::kLinearLabels44,
                                                          PluginRig::kLogLabels};
    for (size_t mode = 0; mode < tables.size(); ++mode) {
        rig.chooseFromMenu(PluginRig::kViewMenu, mode == 0 ? 2 : 3);
        rig.idle();
        for (int32_t k = 0; k < 9; ++k) {
            const CRect label = PluginRig::labelRect(k);
            std::vector<uint32_t> patch(size_t(label.width() * label.height()), 0xFF000066u);
            platform::TextRun run;
            run.text = tables[mode][size_t(k)].c_str();
            run.font = 6;
            run.box = platform::Rect{0, 0, label.width(), label.height()};
            run.clip = run.box;
            run.align = platform::TextAlign::centre;
            run.colour = 0xFFFFFFFFu;
            ASSERT_EQ(platform::drawText(
                          platform::Surface{label.width(), label.height(), patch.data()}, run),
                      platform::Status::ok);
            int32_t differences = 0;
            for (int32_t y = 0; y < label.height(); ++y) {
                for (int32_t x = 0; x < label.width(); ++x) {
                    differences += rig.window.pixel(label.left + x, label.top + y) !=
                                   patch[size_t(y * label.width() + x)];
                }
            }
            EXPECT_EQ(differences, 0) << "label " << k << " \"" << run.text << "\"";
        }
    }
}

TEST_F(EditorPixels, LogarithmicLabelsLeaveTheOddOnesEmpty) {
    rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    rig.idle();
    for (int32_t k = 0; k < 9; ++k) {
        const CRect label = PluginRig::labelRect(k);
        const Ink ink = findInk(rig.window, label);
        if (k % 2 == 1) {
            EXPECT_EQ(ink.pixels, 0) << "label " << k;
        } else {
            ASSERT_GT(ink.pixels, 0) << "label " << k;
            EXPECT_LE(std::abs(ink.leftMargin(label) - ink.rightMargin(label)), kCentreSlack);
        }
    }
    // Wider text than "10": "100k" against the linear "22.1k".
    EXPECT_GT(findInk(rig.window, PluginRig::labelRect(8)).box.width(),
              findInk(rig.window, PluginRig::labelRect(0)).box.width());
}

TEST_F(EditorPixels, MenusReadViewAndHelpInWhiteCentred) {
    for (const CRect& menu : {PluginRig::kViewMenu, PluginRig::kHelpMenu}) {
        const Ink ink = findInk(rig.window, menu);
        ASSERT_GT(ink.pixels, 10);
        EXPECT_GT(ink.white, 0);
        EXPECT_LE(std::abs(ink.leftMargin(menu) - ink.rightMargin(menu)), kCentreSlack);
        // Vertically centred in 14 rows: room above and below.
        EXPECT_GT(ink.box.top, menu.top);
        EXPECT_LT(ink.box.bottom, menu.bottom);
    }
    // "View" is wider than "Help" in Arial.
    EXPECT_GT(findInk(rig.window, PluginRig::kViewMenu).box.width(),
              findInk(rig.window, PluginRig::kHelpMenu).box.width());
}

TEST_F(EditorPixels, AboutShowsTheVersionLineInItsBlackBox) {
    rig.chooseFromMenu(PluginRig::kHelpMenu, 3);
    rig.idle();
    const CRect box(13, 36, 233, 51);
    // The frame and the fill are black, the text white on it: greys only.
    for (int32_t x = box.left; x < box.right; ++x) {
        EXPECT_EQ(rig.window.pixel(x, box.top), kBlack) << x;
        EXPECT_EQ(rig.window.pixel(x, box.bottom - 1), kBlack) << x;
    }
    for (int32_t y = box.top; y < box.bottom; ++y) {
        EXPECT_EQ(rig.window.pixel(box.left, y), kBlack) << y;
        EXPECT_EQ(rig.window.pixel(box.right - 1, y), kBlack) << y;
        for (int32_t x = box.left; x < box.right; ++x) {
            const uint32_t p = rig.window.pixel(x, y);
            ASSERT_TRUE(red(p) == green(p) && green(p) == blue(p)) << x << "," << y;
        }
    }
    const Ink ink = findInk(rig.window, box);
    EXPECT_GT(ink.white, 20);
    EXPECT_LE(ink.leftMargin(box), 3) << "left aligned, one pixel in";
    EXPECT_GT(ink.box.width(), 150) << "the whole line";
    EXPECT_LE(std::abs((ink.box.top - box.top) - (box.bottom - ink.box.bottom)), 3);

    // Everything else is the about artwork and the released OK image.
    EXPECT_EQ(differencesFrom(rig.window, bitmapIds::kAbout, {box, PluginRig::kOkButton}), 0);
    const CBitmap ok(bitmapIds::kOkButton);
    const CRect button = PluginRig::kOkButton;
    for (int32_t y = button.top; y < button.bottom; ++y) {
        for (int32_t x = button.left; x < button.right; ++x) {
            ASSERT_EQ(rig.window.pixel(x, y), ok.getPixel(x - button.left, y - button.top));
        }
    }
}

TEST_F(EditorPixels, TheSuspendedPanelIsTheDimmedBackground) {
    const double normal = meanBrightness(rig.window);
    rig.suspend();
    rig.idle();
    EXPECT_EQ(differencesFrom(rig.window, bitmapIds::kSuspended, {}), 0);
    const double dimmed = meanBrightness(rig.window);
    EXPECT_LT(dimmed, normal / 3.0) << normal << " vs " << dimmed;

    rig.resume();
    rig.idle();
    EXPECT_EQ(differencesFrom(rig.window, bitmapIds::kBackground, editorViewRects()), 0);
    EXPECT_GT(findInk(rig.window, PluginRig::labelRect(4)).pixels, 0);
}

// At 2x the same state is drawn anew at twice the size, not stretched, yet
// its geometry doubles: every row and column of a bar (its segments) is
// two, and labels and menu titles stand at twice their places. A click at
// the doubled place of a menu reaches it, and its popup opens under it.
TEST(EditorPixelsAtScale, TwiceTheScaleDoublesBarSegmentsAndLabelPlaces) {
    const int32_t bands[] = {0, 12, 48, 96};
    const float levels[] = {1.0f, 0.5f, 0.26f, 0.0f};
    const auto show = [&](PluginRig& rig) {
        for (int32_t b = 0; b < 4; ++b) {
            rig.editor()->bars[bands[b]]->setValue(levels[b]);
            rig.editor()->bars[bands[b]]->setDirty(true);
        }
        rig.idle();
    };
    PluginRig one;
    ASSERT_TRUE(one.openAndIdle());
    show(one);
    PluginRig two;
    two.dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr, 2.0f);
    ASSERT_TRUE(two.openAndIdle());
    show(two);
    ASSERT_EQ(two.window.width(), 1140);
    ASSERT_EQ(two.window.height(), 360);

    for (const int32_t band : bands) {
        const CRect bar = PluginRig::barRect(band);
        for (int32_t y = 2 * bar.top; y < 2 * bar.bottom; ++y) {
            for (int32_t x = 2 * bar.left; x < 2 * bar.right; ++x) {
                ASSERT_EQ(two.window.pixel(x, y), one.window.pixel(x / 2, y / 2))
                    << "bar " << band << " at " << x << "," << y;
            }
        }
    }
    std::vector<CRect> texts = {PluginRig::kViewMenu, PluginRig::kHelpMenu};
    for (int32_t k = 0; k < 9; ++k) {
        texts.push_back(PluginRig::labelRect(k));
    }
    for (const CRect& area : texts) {
        const Ink small = findInk(one.window, area);
        const Ink large = findInk(
            two.window, CRect(2 * area.left, 2 * area.top, 2 * area.right, 2 * area.bottom));
        ASSERT_GT(small.pixels, 0);
        ASSERT_GT(large.pixels, 0);
        // Text of twice the size, hinted anew, whose faint edges pass the
        // ink threshold differently: its centre within 3 pixels of the
        // doubled one (sums of both edges compared), its height within 3.
        EXPECT_NEAR(large.box.left + large.box.right, 2 * (small.box.left + small.box.right), 6)
            << "text at " << area.left << "," << area.top;
        EXPECT_NEAR(large.box.top + large.box.bottom, 2 * (small.box.top + small.box.bottom), 6)
            << "text at " << area.left << "," << area.top;
        EXPECT_NEAR(large.box.height(), 2 * small.box.height(), 3);
    }

    two.chooseFromMenu(CRect(2 * PluginRig::kHelpMenu.left, 2 * PluginRig::kHelpMenu.top,
                             2 * PluginRig::kHelpMenu.right, 2 * PluginRig::kHelpMenu.bottom),
                       3);
    ASSERT_EQ(two.window.popups().size(), size_t(1));
    EXPECT_EQ(two.window.popups()[0].x, 2 * PluginRig::kHelpMenu.left);
    EXPECT_EQ(two.window.popups()[0].y, 2 * PluginRig::kHelpMenu.bottom);
    two.idle();
    EXPECT_EQ(two.editor()->shownPanel, 0) << "About... chosen";
}

// Pictures for people: the open editor on both axes with a test signal
// (falling tones over quiet noise), and the About panel, written into the
// test's own build folder, which belongs to whoever built it.
TEST_F(EditorPixels, PicturesOfTheOpenEditor) {
    constexpr double kPi = 3.14159265358979323846;
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> noise(-0.02f, 0.02f);
    std::vector<float> signal(4096 * 2);
    for (size_t n = 0; n < signal.size(); ++n) {
        double sum = 0.0;
        for (int32_t partial = 1; partial <= 12; ++partial) {
            const double hz = 220.0 * partial;
            sum += std::sin(2.0 * kPi * hz * double(n) / 44100.0) / (partial * 4.0);
        }
        signal[n] = float(sum) + noise(rng);
    }
    rig.play(signal);
    rig.decayStep();
    EXPECT_EQ(rig.window.writePng("tq-spectrum-editor.png"), platform::Status::ok);
    rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    for (int32_t step = 0; step < 10; ++step) {
        rig.decayStep(); // bars down to the floor first
    }
    rig.play(signal);
    rig.decayStep();
    EXPECT_EQ(rig.window.writePng("tq-spectrum-editor-log.png"), platform::Status::ok);
    rig.chooseFromMenu(PluginRig::kHelpMenu, 3);
    rig.idle();
    EXPECT_EQ(rig.window.writePng("tq-spectrum-about.png"), platform::Status::ok);
    EXPECT_GT(findInk(rig.window, CRect(13, 36, 233, 51)).pixels, 0);
}
