// The kick button's mouse tracking, driven by injected mouse events.
#include <gtest/gtest.h>

#include "platform/headless/HeadlessSystem.h"
#include "tests/support/editorMouse.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CKickButton.h"
#include "toolkit/CMouseButtons.h"
#include "toolkit/CViewContainer.h"
#include "toolkitFakes.h"

namespace {

class KickButton : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(f.opened);
        auto* bitmap = new CBitmap(10004);
        ASSERT_EQ(bitmap->getHeight(), 28);
        panel = new CViewContainer(CRect(0, 0, 570, 180), f.frame);
        button = new CKickButton(CRect(487, 156, 547, 170), &listener, 1, 14, bitmap);
        button->setTransparency(true);
        bitmap->forget();
        panel->addView(button);
        f.frame->addView(panel);
        f.frame->idle();
    }
    void TearDown() override {
        // Taken out without release, the panel is ours to release.
        if (!panel->getParentView()) {
            panel->forget();
        }
    }
    // Image pixel of the released (0) or pressed (1) state at the button's (x, y).
    uint32_t imagePixel(int32_t state, int32_t x, int32_t y) {
        return button->getBackground()->getPixel(x, y + 14 * state);
    }

    OpenFrame f;
    RecordingListener listener{&f.log};
    CViewContainer* panel = nullptr;
    CKickButton* button = nullptr;
};

TEST_F(KickButton, PressHoldReleaseReportsOneAndZeroAndIdlesEveryPass) {
    holdAndRelease(f.window, 500, 160, 3, 20);

    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(f.owner.idleCalls, 3) << "one idle per pass while held";
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(f.log.front(), "begin 1");
    EXPECT_EQ(f.log.back(), "end 1");
}

TEST_F(KickButton, FollowsThePointerOutOfItsRectangleAndBack) {
    f.window.injectMouseDown(500, 160);
    f.window.injectMouseMove(500, 160);
    f.window.injectMouseMove(300, 100);
    f.window.injectMouseMove(300, 100);
    f.window.injectMouseMove(546, 169);
    f.window.injectMouseUp(546, 169);
    f.window.dispatchEvents();

    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(f.owner.idleCalls, 4);
}

TEST_F(KickButton, AClickAlreadyReleasedStillTogglesOnceThenResets) {
    f.window.click(500, 160);
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(f.owner.idleCalls, 0);
    EXPECT_EQ(f.log, (EventLog{"begin 1", "changed 1 = 1", "changed 1 = 0", "end 1"}));
}

TEST_F(KickButton, ShowsThePressedImageWhileHeldAndTheReleasedOneAfter) {
    std::vector<uint32_t> seen;
    f.owner.onIdle = [&] {
        f.frame->idle();
        seen.push_back(f.window.pixel(517, 163));
    };
    holdAndRelease(f.window, 500, 160, 1, 10);
    f.frame->idle();

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], imagePixel(1, 30, 7));
    EXPECT_EQ(f.window.pixel(517, 163), imagePixel(0, 30, 7));
    EXPECT_NE(imagePixel(0, 30, 7), imagePixel(1, 30, 7));
}

TEST_F(KickButton, KeepsTrackingWhenItsPanelLeavesTheFrameMidPress) {
    // As the About panel does: the first change closes the panel, and the
    // owner's idle takes it out of the frame while the button is still down.
    f.owner.onIdle = [&] {
        if (panel->getParentView()) {
            f.frame->removeView(panel, false);
        }
        f.frame->idle();
    };
    holdAndRelease(f.window, 500, 160, 2, 30);

    EXPECT_FALSE(panel->getParentView());
    EXPECT_EQ(f.owner.idleCalls, 2);
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_EQ(f.log.back(), "end 1") << "the end of the edit still reaches the owner";
}

TEST_F(KickButton, OnlyTheLeftButtonPressesIt) {
    f.window.click(500, 160, kRButton);
    EXPECT_TRUE(f.log.empty());
    EXPECT_TRUE(listener.values.empty());
}

} // namespace
