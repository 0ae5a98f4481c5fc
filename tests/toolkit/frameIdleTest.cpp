// Dirty marking and what the frame's idle draws and shows.
#include <gtest/gtest.h>

#include "toolkit/CBitmap.h"
#include "toolkit/CViewContainer.h"
#include "toolkitFakes.h"

namespace {

class FrameIdle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(f.opened);
        auto* bitmap = new CBitmap(10001);
        f.frame->setBackground(bitmap);
        bitmap->forget();
        for (int32_t i = 0; i < 3; ++i) {
            views[i] = new ProbeView(CRect(100 + 50 * i, 50, 140 + 50 * i, 90), rgb(10, 200, 10));
            f.frame->addView(views[i]);
        }
    }

    OpenFrame f;
    ProbeView* views[3] = {};
};

TEST_F(FrameIdle, FirstIdleDrawsAndShowsTheWholeWindow) {
    EXPECT_EQ(f.window.presentCount(), 0u);
    f.frame->idle();
    EXPECT_EQ(f.window.presentCount(), 1u);
    for (ProbeView* v : views) {
        EXPECT_EQ(v->draws, 1);
    }
    const CBitmap* background = f.frame->getBackground();
    EXPECT_EQ(f.window.pixel(300, 20), background->getPixel(300, 20));
    EXPECT_EQ(f.window.pixel(45, 139), background->getPixel(45, 139));
    EXPECT_EQ(f.window.pixel(120, 70), rgb(10, 200, 10));
}

TEST_F(FrameIdle, AnIdleWithNothingDirtyDrawsNothing) {
    f.frame->idle();
    f.frame->idle();
    EXPECT_EQ(f.window.presentCount(), 1u);
    EXPECT_EQ(views[0]->draws, 1);
}

TEST_F(FrameIdle, OnlyDirtyViewsAreDrawnAgain) {
    f.frame->idle();
    views[1]->colour = rgb(200, 10, 10);
    views[1]->setDirty();
    f.frame->idle();
    EXPECT_EQ(views[0]->draws, 1);
    EXPECT_EQ(views[1]->draws, 2);
    EXPECT_EQ(views[2]->draws, 1);
    EXPECT_EQ(f.window.presentCount(), 2u);
    EXPECT_EQ(f.window.pixel(160, 60), rgb(200, 10, 10));
    EXPECT_FALSE(views[1]->isDirty());
}

TEST_F(FrameIdle, ADirtyFrameDrawsEverything) {
    f.frame->idle();
    f.frame->setDirty();
    f.frame->idle();
    for (ProbeView* v : views) {
        EXPECT_EQ(v->draws, 2);
    }
    EXPECT_FALSE(f.frame->isDirty());
}

TEST_F(FrameIdle, TheAreaOfARemovedViewShowsTheBackgroundAgain) {
    f.frame->idle();
    f.frame->removeView(views[2], true);
    f.frame->idle();
    const CBitmap* background = f.frame->getBackground();
    EXPECT_EQ(f.window.pixel(220, 60), background->getPixel(220, 60));
    EXPECT_EQ(views[0]->draws, 1) << "views outside that area are left alone";
}

TEST_F(FrameIdle, AContainerInModeZeroIsDrawnWholeWhenOneViewIsDirty) {
    auto* panel = new CViewContainer(CRect(0, 0, 570, 180), f.frame, new CBitmap(10003));
    panel->getBackground()->forget();
    panel->setMode(CViewContainer::kRedrawWhole);
    auto* a = new ProbeView(CRect(10, 10, 20, 20), rgb(1, 2, 3));
    auto* b = new ProbeView(CRect(30, 10, 40, 20), rgb(3, 2, 1));
    panel->addView(a);
    panel->addView(b);
    f.frame->addView(panel);
    f.frame->idle();
    ASSERT_EQ(a->draws, 1);
    EXPECT_EQ(f.window.pixel(300, 20), panel->getBackground()->getPixel(300, 20));

    a->setDirty();
    EXPECT_TRUE(panel->isDirty()) << "a dirty view makes its container dirty";
    f.frame->idle();
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 2);
    EXPECT_FALSE(panel->isDirty());
    EXPECT_EQ(f.window.pixel(300, 20), panel->getBackground()->getPixel(300, 20));
    EXPECT_EQ(f.window.pixel(15, 15), rgb(1, 2, 3));
}

TEST_F(FrameIdle, NothingIsShownOnceTheWindowIsClosed) {
    f.frame->idle();
    f.frame->close();
    EXPECT_FALSE(f.window.hasChild());
    views[0]->setDirty();
    f.frame->idle();
    EXPECT_EQ(f.window.presentCount(), 1u);
    EXPECT_EQ(views[0]->draws, 1);
}

TEST(FrameOpen, FailsForAHandleThatIsNoWindow) {
    int32_t notAWindow = 0;
    CFrame frame(CRect(0, 0, 10, 10), nullptr);
    EXPECT_FALSE(frame.open(&notAWindow));
    EXPECT_FALSE(frame.open(nullptr));
    EXPECT_FALSE(frame.isOpen());
    frame.idle(); // harmless
}

TEST(FrameOpen, AParentHoldsOneFrameAtATime) {
    HeadlessWindow window;
    CFrame first(CRect(0, 0, 10, 10), nullptr);
    CFrame second(CRect(0, 0, 10, 10), nullptr);
    ASSERT_TRUE(first.open(window.handle()));
    EXPECT_FALSE(second.open(window.handle()));
    first.close();
    EXPECT_TRUE(second.open(window.handle()));
}

} // namespace
