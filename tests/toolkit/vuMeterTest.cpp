// The bar's drawing rule: clamp, fall at most 0.1 per drawing, unlit
// segments u = int((1 - s) * 50 + 0.5) taken from the unlit image at the top.
#include <gtest/gtest.h>

#include "toolkit/CBitmap.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/CVuMeter.h"
#include "toolkitFakes.h"

namespace {

class VuMeter : public ::testing::Test {
protected:
    void SetUp() override {
        lit = new CBitmap(10005);
        unlit = new CBitmap(10006);
        ASSERT_TRUE(lit->isLoaded());
        ASSERT_TRUE(unlit->isLoaded());
        meter = new CVuMeter(CRect(0, 0, 3, 100), lit, unlit, 50);
        lit->forget();
        unlit->forget();
    }
    void TearDown() override { meter->forget(); }

    // Draws once with `value` and counts the green rows of the result.
    int32_t drawAndCount(float value) {
        meter->setValue(value);
        meter->draw(&target);
        return greenRows(target, 0, 0);
    }
    static int32_t greenRows(const CDrawContext& c, int32_t left, int32_t top) {
        int32_t rows = 0;
        for (int32_t y = top; y < top + 100; ++y) {
            rows += c.getPixel(left + 1, y) == kGreen;
        }
        return rows;
    }

    CBitmap* lit = nullptr;
    CBitmap* unlit = nullptr;
    CVuMeter* meter = nullptr;
    COffscreenContext target{3, 100, CColor{90, 90, 90, 255}};
};

TEST_F(VuMeter, AFullBarFallingToZeroLosesFiveSegmentsPerDrawing) {
    EXPECT_EQ(drawAndCount(1.0f), 50);
    std::vector<int32_t> counts;
    for (int step = 0; step < 10; ++step) {
        counts.push_back(drawAndCount(0.0f));
    }
    EXPECT_EQ(counts, (std::vector<int32_t>{45, 40, 35, 30, 25, 20, 15, 10, 5, 0}));
}

TEST_F(VuMeter, LitSegmentsAreTheGreenRowsFromTheBottomUp) {
    drawAndCount(1.0f);
    drawAndCount(0.0f); // 45 lit: rows 0..9 unlit
    for (int32_t y = 0; y < 10; ++y) {
        EXPECT_EQ(target.getPixel(0, y), kBlackPixel) << "row " << y;
    }
    for (int32_t y = 10; y < 100; ++y) {
        EXPECT_EQ(target.getPixel(2, y), y % 2 ? kGreen : kBlackPixel) << "row " << y;
    }
}

TEST_F(VuMeter, TheFirstDrawingShowsTheValueItself) {
    EXPECT_FLOAT_EQ(meter->getShownValue(), -1.0f);
    EXPECT_EQ(drawAndCount(0.3f), 15);
}

TEST_F(VuMeter, ValuesAreClampedAndRisesShowAtOnce) {
    EXPECT_EQ(drawAndCount(-0.5f), 0);
    EXPECT_EQ(drawAndCount(1.7f), 50);
    EXPECT_FLOAT_EQ(meter->getShownValue(), 1.0f);
    EXPECT_EQ(drawAndCount(0.7f), 45) << "falls by one step only";
    EXPECT_EQ(drawAndCount(0.7f), 40);
    EXPECT_EQ(drawAndCount(0.7f), 35) << "reaches the value";
    EXPECT_EQ(drawAndCount(0.7f), 35);
    EXPECT_EQ(drawAndCount(0.5f), 30);
}

TEST_F(VuMeter, InTheFrameItFallsOnlyWhenItIsDrawn) {
    OpenFrame f;
    auto* bar = new CVuMeter(CRect(44, 36, 47, 136), lit, unlit, 50);
    f.frame->addView(bar);
    CDrawContext window(nullptr, const_cast<uint32_t*>(f.window.pixels().data()), 570, 180);

    bar->setValue(1.0f);
    f.frame->idle();
    EXPECT_EQ(greenRows(window, 44, 36), 50);

    bar->setValue(0.0f);
    bar->setDirty();
    f.frame->idle();
    EXPECT_EQ(greenRows(window, 44, 36), 45);
    f.frame->idle(); // not dirty: not drawn, the shown level stays
    EXPECT_EQ(greenRows(window, 44, 36), 45);
    bar->setDirty();
    f.frame->idle();
    EXPECT_EQ(greenRows(window, 44, 36), 40);
    EXPECT_EQ(f.window.pixel(43, 100), kBlackPixel) << "nothing drawn beside the bar";
}

TEST_F(VuMeter, AHorizontalMeterFillsFromTheLeft) {
    CBitmap on(10, 1);
    CBitmap off(10, 1);
    for (int32_t x = 0; x < 10; ++x) {
        on.getPixels()[x] = kGreen;
    }
    CVuMeter bar(CRect(0, 0, 10, 1), &on, &off, 10, CVuMeter::kHorizontal);
    COffscreenContext line(10, 1, CColor{90, 90, 90, 255});
    bar.setValue(0.3f);
    bar.draw(&line);
    EXPECT_EQ(line.getPixel(2, 0), kGreen);
    EXPECT_EQ(line.getPixel(3, 0), kBlackPixel);
    bar.remember(); // stack object: the final release must not delete it
}

} // namespace
