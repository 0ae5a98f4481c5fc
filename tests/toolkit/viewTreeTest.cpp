// Reference counting, ownership by containers, z-order and hit testing.
#include <gtest/gtest.h>

#include "toolkit/CMouseButtons.h"
#include "toolkit/CViewContainer.h"
#include "toolkitFakes.h"

namespace {

TEST(ReferenceCounting, CreationGivesOneAndTheLastReleaseDeletes) {
    int32_t destroyed = 0;
    auto* view = new ProbeView(CRect(0, 0, 10, 10), kWhite, &destroyed);
    EXPECT_EQ(view->getNbReference(), 1);
    view->remember();
    EXPECT_EQ(view->getNbReference(), 2);
    view->forget();
    EXPECT_EQ(destroyed, 0);
    view->forget();
    EXPECT_EQ(destroyed, 1);
}

TEST(ReferenceCounting, AddingTakesAReferenceAndRemovalDropsIt) {
    int32_t destroyed = 0;
    auto* container = new CViewContainer(CRect(0, 0, 100, 100), nullptr);
    auto* view = new ProbeView(CRect(0, 0, 10, 10), kWhite, &destroyed);

    ASSERT_TRUE(container->addView(view));
    EXPECT_EQ(view->getNbReference(), 2);
    EXPECT_EQ(view->getParentView(), container);

    ASSERT_TRUE(container->removeView(view, false));
    EXPECT_EQ(view->getNbReference(), 1) << "back to the creator's reference";
    EXPECT_EQ(view->getParentView(), nullptr);
    EXPECT_FALSE(container->removeView(view, true)) << "no longer a child";

    // Out and in again, as a panel goes: the count never creeps up.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(container->addView(view));
        ASSERT_TRUE(container->removeView(view, false));
    }
    EXPECT_EQ(view->getNbReference(), 1);

    ASSERT_TRUE(container->addView(view));
    ASSERT_TRUE(container->removeView(view, true));
    EXPECT_EQ(destroyed, 1) << "removal and release drop one each";
    container->forget();
}

TEST(ReferenceCounting, DeletingAContainerReleasesItsViews) {
    int32_t destroyed = 0;
    auto* container = new CViewContainer(CRect(0, 0, 100, 100), nullptr);
    auto* inner = new CViewContainer(CRect(0, 0, 50, 50), nullptr);
    inner->addView(new ProbeView(CRect(0, 0, 10, 10), kWhite, &destroyed));
    container->addView(inner);
    container->addView(new ProbeView(CRect(20, 0, 30, 10), kWhite, &destroyed));
    container->forget();
    EXPECT_EQ(destroyed, 2);
}

TEST(ReferenceCounting, AViewTheContainerAloneHoldsIsDeletedOnceOnRelease) {
    int32_t destroyed = 0;
    auto* container = new CViewContainer(CRect(0, 0, 100, 100), nullptr);
    auto* view = new ProbeView(CRect(0, 0, 10, 10), kWhite, &destroyed);
    container->addView(view);
    view->forget(); // the creator let go early
    ASSERT_TRUE(container->removeView(view, true));
    EXPECT_EQ(destroyed, 1);
    container->forget();
}

TEST(ReferenceCounting, ContainerRefusesNullItselfAndViewsOfAnotherContainer) {
    int32_t destroyed = 0;
    auto* a = new CViewContainer(CRect(0, 0, 100, 100), nullptr);
    auto* b = new CViewContainer(CRect(0, 0, 100, 100), nullptr);
    auto* view = new ProbeView(CRect(0, 0, 10, 10), kWhite, &destroyed);
    EXPECT_FALSE(a->addView(nullptr));
    EXPECT_FALSE(a->addView(a));
    ASSERT_TRUE(a->addView(view));
    EXPECT_FALSE(b->addView(view)) << "a view lives in one container";
    EXPECT_FALSE(a->addView(view)) << "and only once";
    EXPECT_EQ(view->getNbReference(), 2);
    EXPECT_EQ(a->getNbViews(), 1u);
    a->forget();
    b->forget();
    EXPECT_EQ(destroyed, 1);
}

TEST(ReferenceCounting, DeletingTheFrameReleasesItsViewsButNotRemovedOnes) {
    int32_t destroyed = 0;
    auto* frame = new CFrame(CRect(0, 0, 50, 50), nullptr);
    auto* inFrame = new ProbeView(CRect(0, 0, 10, 10), kWhite, &destroyed);
    auto* removed = new ProbeView(CRect(10, 0, 20, 10), kWhite, &destroyed);
    frame->addView(inFrame);
    frame->addView(removed);
    frame->removeView(removed, false);

    delete frame;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(removed->getNbReference(), 1);
    removed->forget();
    EXPECT_EQ(destroyed, 2);
}

TEST(ZOrder, LaterViewsAreDrawnAboveAndHitFirst) {
    OpenFrame f(100, 100);
    ASSERT_TRUE(f.opened);
    auto* lower = new ProbeView(CRect(10, 10, 60, 60), rgb(200, 0, 0));
    auto* upper = new ProbeView(CRect(40, 40, 90, 90), rgb(0, 200, 0));
    f.frame->addView(lower);
    f.frame->addView(upper);
    f.frame->idle();

    EXPECT_EQ(f.window.pixel(50, 50), rgb(0, 200, 0)) << "overlap shows the later view";
    EXPECT_EQ(f.window.pixel(20, 20), rgb(200, 0, 0));

    f.window.click(50, 50);
    EXPECT_EQ(upper->clicks, 1);
    EXPECT_EQ(lower->clicks, 0);
    f.window.click(20, 20);
    EXPECT_EQ(lower->clicks, 1);

    // A view that takes no mouse input lets the click through.
    upper->setMouseEnabled(false);
    f.window.click(50, 50);
    EXPECT_EQ(lower->clicks, 2);
    EXPECT_EQ(upper->clicks, 1);

    // Outside every view nothing is hit.
    f.window.click(95, 5);
    EXPECT_EQ(lower->clicks + upper->clicks, 3);
}

TEST(ZOrder, ViewsInAContainerUseItsCoordinates) {
    OpenFrame f(200, 100);
    auto* panel = new CViewContainer(CRect(100, 50, 200, 100), f.frame);
    panel->setBackgroundColor(CColor::fromArgb(rgb(0, 0, 90)));
    auto* child = new ProbeView(CRect(10, 10, 20, 20), rgb(250, 250, 0));
    panel->addView(child);
    f.frame->addView(panel);
    f.frame->idle();

    EXPECT_EQ(f.window.pixel(110, 60), rgb(250, 250, 0));
    EXPECT_EQ(f.window.pixel(119, 69), rgb(250, 250, 0));
    EXPECT_EQ(f.window.pixel(120, 70), rgb(0, 0, 90));
    EXPECT_EQ(f.window.pixel(10, 10), kBlackPixel) << "the child is not drawn at its own numbers";

    f.window.click(115, 65, kRButton);
    EXPECT_EQ(child->clicks, 1);
    EXPECT_EQ(child->lastWhere, CPoint(15, 15));
    EXPECT_EQ(child->lastButtons, kRButton);
    EXPECT_EQ(child->getFrame(), f.frame);
}

TEST(ZOrder, AViewMayLeaveAndBeReleasedWhileHandlingItsClick) {
    OpenFrame f(100, 100);
    int32_t destroyed = 0;
    auto* view = new ProbeView(CRect(0, 0, 50, 50), rgb(9, 9, 9), &destroyed);
    f.frame->addView(view);
    view->onClick = [&] { f.frame->removeView(view, true); };

    f.window.click(10, 10);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(f.frame->getNbViews(), 0u);
}

} // namespace
