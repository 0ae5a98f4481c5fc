// Redrawing a dirty view's area: every view that overlaps the area is drawn
// again in order, also after views moved, were added, or moved while
// another drew; a bar's area shows what lies below wherever the bar does
// not reach.
#include <gtest/gtest.h>

#include <functional>

#include "toolkit/CBitmap.h"
#include "toolkit/CVuMeter.h"
#include "toolkitFakes.h"

namespace {

constexpr uint32_t kRed = rgb(200, 0, 0);
constexpr uint32_t kBlue = rgb(0, 0, 200);
constexpr uint32_t kYellow = rgb(200, 200, 0);

// A probe that also remembers the clip it was drawn in and may act while
// drawing.
class ClipProbe : public ProbeView {
public:
    using ProbeView::ProbeView;
    void draw(CDrawContext* context) override {
        lastClip = context->getClipRect();
        ProbeView::draw(context);
        if (onDraw) {
            onDraw();
        }
    }

    CRect lastClip;
    std::function<void()> onDraw;
};

class AreaRedraw : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(f.opened);
        a = new ClipProbe(CRect(10, 10, 30, 30), kRed);
        b = new ClipProbe(CRect(50, 10, 70, 30), kBlue);
        f.frame->addView(a);
        f.frame->addView(b);
        f.frame->idle();
        // Apart, each redraws on its own.
        a->setDirty();
        b->setDirty();
        f.frame->idle();
        ASSERT_EQ(a->draws, 2);
        ASSERT_EQ(b->draws, 2);
    }

    OpenFrame f;
    ClipProbe* a = nullptr;
    ClipProbe* b = nullptr;
};

TEST_F(AreaRedraw, AViewMovedOntoAnotherIsDrawnAboveItWhenThatOneRedraws) {
    b->setViewSize(CRect(20, 10, 40, 30));
    f.frame->idle();
    EXPECT_EQ(a->draws, 3) << "the moved view's area holds part of the other";
    EXPECT_EQ(b->draws, 3);

    a->colour = kYellow;
    a->setDirty();
    f.frame->idle();
    EXPECT_EQ(b->draws, 4);
    EXPECT_EQ(f.window.pixel(15, 15), kYellow);
    EXPECT_EQ(f.window.pixel(25, 15), kBlue) << "the later view stays on top";
}

TEST_F(AreaRedraw, AViewAddedOverAnotherIsDrawnAboveItWhenThatOneRedraws) {
    auto* c = new ClipProbe(CRect(0, 20, 15, 40), kBlue);
    f.frame->addView(c);
    c->forget();
    f.frame->idle();

    a->colour = kYellow;
    a->setDirty();
    f.frame->idle();
    EXPECT_EQ(c->draws, 2);
    EXPECT_EQ(c->lastClip, CRect(10, 10, 30, 30));
    EXPECT_EQ(f.window.pixel(12, 25), kBlue);
    EXPECT_EQ(f.window.pixel(20, 15), kYellow);
    EXPECT_EQ(b->draws, 2) << "a view apart from the area is left alone";
}

TEST_F(AreaRedraw, AViewMovedWhileAnotherDrawsIsDrawnInThatAreaInTheSamePass) {
    a->onDraw = [this] {
        a->onDraw = nullptr;
        b->setViewSize(CRect(25, 10, 45, 30));
    };
    a->setDirty();
    f.frame->idle();
    EXPECT_EQ(b->draws, 3);
    EXPECT_EQ(b->lastClip, CRect(10, 10, 30, 30)) << "drawn as part of the first view's area";
    EXPECT_FALSE(b->isDirty());
    EXPECT_EQ(f.window.pixel(27, 15), kBlue);
}

TEST_F(AreaRedraw, ViewsThatOnlyTouchAreDrawnApart) {
    b->setViewSize(CRect(30, 10, 50, 30)); // shares an edge with the first
    f.frame->idle();
    EXPECT_EQ(a->draws, 2);
    a->setDirty();
    f.frame->idle();
    EXPECT_EQ(b->draws, 3);
}

TEST(RectOverlap, AgreesWithTheIntersectionForEdgesEmptyAndInvertedRects) {
    const CRect r(10, 10, 20, 20);
    const CRect others[] = {CRect(19, 19, 30, 30), CRect(20, 10, 30, 20), CRect(10, 20, 20, 30),
                            CRect(0, 0, 10, 10),   CRect(12, 12, 14, 14), CRect(0, 0, 40, 40),
                            CRect(15, 15, 15, 18), CRect(18, 18, 12, 25), CRect(-5, 12, 11, 13)};
    const bool expected[] = {true, false, false, false, true, true, false, false, true};
    for (size_t i = 0; i < sizeof others / sizeof others[0]; ++i) {
        EXPECT_EQ(r.intersects(others[i]), expected[i]) << "case " << i;
        EXPECT_EQ(others[i].intersects(r), expected[i]) << "case " << i;
        EXPECT_EQ(r.intersects(others[i]), !r.intersection(others[i]).isEmpty()) << "case " << i;
    }
}

TEST(BarArea, ABarWiderThanItsBufferShowsWhatLiesBelowBesideIt) {
    OpenFrame f;
    ASSERT_TRUE(f.opened);
    f.frame->setBackgroundColor(CColor::fromArgb(kRed));
    auto* lit = new CBitmap(10005);
    auto* unlit = new CBitmap(10006);
    auto* bar = new CVuMeter(CRect(10, 10, 13, 110), lit, unlit, 50);
    lit->forget();
    unlit->forget();
    bar->setValue(1.0f);
    f.frame->addView(bar);
    bar->forget();
    f.frame->idle();
    EXPECT_TRUE(bar->paintsWholeRect());
    EXPECT_EQ(f.window.pixel(11, 109), kGreen);

    // The buffer keeps its first size: the bar now covers half its rectangle.
    f.frame->setBackgroundColor(CColor::fromArgb(kBlue));
    bar->setViewSize(CRect(10, 10, 16, 110));
    EXPECT_FALSE(bar->paintsWholeRect());
    f.frame->idle();
    EXPECT_EQ(f.window.pixel(11, 109), kGreen);
    EXPECT_EQ(f.window.pixel(14, 109), kBlue);
    EXPECT_EQ(f.window.pixel(17, 109), kRed) << "outside the bar nothing was drawn";
}

} // namespace
