// The option menu: entries and separators, check styles, current entry,
// and a click: begin edit, popup under the control, choice, listener, end edit.
#include <gtest/gtest.h>

#include <string>

#include "platform/headless/HeadlessWindow.h"
#include "toolkit/CMouseButtons.h"
#include "toolkit/COptionMenu.h"
#include "toolkitFakes.h"

namespace {

class OptionMenu : public ::testing::Test {
protected:
    COptionMenu* makeMenu(int32_t style, const char* const (&texts)[4]) {
        auto* menu = new COptionMenu(CRect(20, 3, 55, 17), &listener, 2, nullptr, style);
        for (const char* t : texts) {
            EXPECT_TRUE(menu->addEntry(t));
        }
        f.frame->addView(menu);
        return menu;
    }
    const HeadlessWindow::PopupRecord& lastPopup() { return f.window.popups().back(); }
    std::vector<bool> shownChecks() {
        std::vector<bool> checks;
        for (const auto& e : lastPopup().entries) {
            checks.push_back(e.checked);
        }
        return checks;
    }

    OpenFrame f;
    RecordingListener listener{&f.log};
    static constexpr const char* kView[4] = {"View", "-", "Linear", "Logarithmic"};
};

TEST_F(OptionMenu, EntriesCountSeparatorsAndStartWithNoCurrent) {
    COptionMenu* menu = makeMenu(0, kView);
    EXPECT_EQ(menu->getNbEntries(), 4);
    EXPECT_EQ(menu->getCurrent(), -1);
    EXPECT_TRUE(menu->isSeparator(1));
    EXPECT_FALSE(menu->isSeparator(3));
    EXPECT_STREQ(menu->getEntry(3), "Logarithmic");
    EXPECT_EQ(menu->getEntry(4), nullptr);
    EXPECT_FALSE(menu->isCheckEntry(2)) << "entries start unchecked";
    EXPECT_FALSE(menu->setCurrent(4));
    EXPECT_FALSE(menu->setCurrent(-1));
    EXPECT_EQ(menu->getCurrent(), -1);
}

TEST_F(OptionMenu, MultipleCheckStyleTogglesTheEntryMadeCurrent) {
    COptionMenu* menu =
        makeMenu(COptionMenu::kMultipleCheckStyle | COptionMenu::kCheckStyle, kView);
    ASSERT_TRUE(menu->setCurrent(0));
    EXPECT_TRUE(menu->isCheckEntry(0)) << "making it current toggled it on";
    ASSERT_TRUE(menu->setCurrent(0));
    EXPECT_FALSE(menu->isCheckEntry(0)) << "and again off";
    menu->setValue(2.0f);
    EXPECT_EQ(menu->getCurrent(), 2);
    EXPECT_FLOAT_EQ(menu->getValue(), 2.0f);
    EXPECT_TRUE(menu->isCheckEntry(2));
}

TEST_F(OptionMenu, PopupShowsEveryEntryUnderTheControlWithItsOwnChecks) {
    COptionMenu* menu = makeMenu(1025, kView);
    menu->setCurrent(0);
    menu->checkEntry(0, false);
    menu->checkEntry(2, true);
    menu->checkEntry(3, false);
    f.window.scriptPopupDismiss();
    f.window.click(30, 10);

    ASSERT_EQ(f.window.popups().size(), 1u);
    const auto& popup = lastPopup();
    EXPECT_EQ(popup.x, 20);
    EXPECT_EQ(popup.y, 17) << "top-left at the control's bottom-left";
    ASSERT_EQ(popup.entries.size(), 4u);
    EXPECT_EQ(popup.entries[0].text, "View");
    EXPECT_TRUE(popup.entries[1].separator);
    EXPECT_FALSE(popup.entries[2].separator);
    EXPECT_EQ(shownChecks(), (std::vector<bool>{false, false, true, false}))
        << "check-current has no effect in multiple-check style";
}

TEST_F(OptionMenu, CheckStyleMarksOnlyTheCurrentEntry) {
    COptionMenu* menu = makeMenu(COptionMenu::kCheckStyle, kView);
    menu->setCurrent(3);
    menu->checkEntry(2, true);
    f.window.click(30, 10);
    EXPECT_EQ(shownChecks(), (std::vector<bool>{false, false, false, true}));
    EXPECT_TRUE(menu->isCheckEntry(2)) << "setting current does not toggle without the style";
}

TEST_F(OptionMenu, PlainStyleShowsNoChecks) {
    COptionMenu* menu = makeMenu(0, kView);
    menu->setCurrent(2);
    menu->checkEntry(3, true);
    f.window.click(30, 10);
    EXPECT_EQ(shownChecks(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(OptionMenu, AChoiceIsMadeCurrentToggledAndReportedInsideTheEdit) {
    COptionMenu* menu = makeMenu(1025, kView);
    menu->setCurrent(0);
    menu->checkEntry(0, false);
    f.window.scriptPopupChoice(3);
    f.window.click(30, 10);

    EXPECT_EQ(menu->getCurrent(), 3);
    EXPECT_TRUE(menu->isCheckEntry(3));
    ASSERT_EQ(listener.controls.size(), 1u);
    EXPECT_EQ(listener.controls[0], menu);
    EXPECT_EQ(f.log, (EventLog{"begin 2", "changed 2 = 3", "end 2"}));
}

TEST_F(OptionMenu, ADismissedPopupChangesNothingAndCallsNoListener) {
    COptionMenu* menu = makeMenu(1025, kView);
    menu->setCurrent(0);
    f.window.scriptPopupDismiss();
    f.window.click(30, 10);
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_TRUE(menu->isCheckEntry(0));
    EXPECT_TRUE(listener.values.empty());
    EXPECT_EQ(f.log, (EventLog{"begin 2", "end 2"}));

    // With no answer scripted the popup is dismissed as well.
    f.window.click(30, 10);
    EXPECT_TRUE(listener.values.empty());
}

// The popup stays open, and the edit with it, until the window reports the
// user's decision; closing the frame first ends it as dismissed.
TEST_F(OptionMenu, TheEditLastsUntilTheOutcomeOrTheFrameCloses) {
    COptionMenu* menu = makeMenu(1025, kView);
    menu->setCurrent(0);
    std::vector<uint32_t> pixel(1);
    CDrawContext context(f.frame, pixel.data(), 1, 1);
    CPoint where(30, 10);
    f.window.scriptPopupChoice(3);
    menu->mouse(&context, where, kLButton);
    EXPECT_TRUE(f.frame->hasPopup());
    EXPECT_EQ(f.log, (EventLog{"begin 2"}));
    f.frame->idle();
    EXPECT_FALSE(f.frame->hasPopup());
    EXPECT_EQ(f.log, (EventLog{"begin 2", "changed 2 = 3", "end 2"}));

    f.window.scriptPopupChoice(2);
    menu->mouse(&context, where, kLButton);
    f.frame->close();
    EXPECT_FALSE(f.frame->hasPopup());
    EXPECT_EQ(f.log, (EventLog{"begin 2", "changed 2 = 3", "end 2", "begin 2", "end 2"}));
    EXPECT_EQ(menu->getCurrent(), 3) << "nothing chosen";
    EXPECT_EQ(menu->getNbReference(), 2) << "the frame no longer holds it for its popup";
}

TEST_F(OptionMenu, ASeparatorCannotBeChosen) {
    COptionMenu* menu = makeMenu(0, kView);
    menu->setCurrent(0);
    f.window.scriptPopupChoice(1);
    f.window.click(30, 10);
    EXPECT_EQ(menu->getCurrent(), 0);
    EXPECT_TRUE(listener.values.empty());
}

TEST_F(OptionMenu, LeftAndRightButtonsOpenItTheMiddleOneDoesNot) {
    makeMenu(0, kView);
    f.window.click(30, 10, kRButton);
    EXPECT_EQ(f.window.popups().size(), 1u);
    f.window.click(30, 10, kMButton);
    EXPECT_EQ(f.window.popups().size(), 1u);
}

TEST_F(OptionMenu, AListenerMayTakeAClickWithModifierKeys) {
    makeMenu(0, kView);
    listener.modifierAnswer = 1;
    f.window.click(30, 10, kLButton | kShift);
    EXPECT_EQ(listener.modifierCalls, 1);
    EXPECT_TRUE(f.window.popups().empty());
    EXPECT_TRUE(f.log.empty());

    listener.modifierAnswer = 0;
    f.window.click(30, 10, kLButton | kControl);
    EXPECT_EQ(f.window.popups().size(), 1u) << "a zero answer is a plain click";
}

TEST_F(OptionMenu, HoldsUpTo1024EntriesOf255Characters) {
    COptionMenu menu(CRect(0, 0, 10, 10), nullptr, 0);
    const std::string longText(300, 'x');
    ASSERT_TRUE(menu.addEntry(longText.c_str()));
    EXPECT_EQ(std::string(menu.getEntry(0)).size(), 255u);
    for (int32_t i = 1; i < 1024; ++i) {
        ASSERT_TRUE(menu.addEntry("e"));
    }
    EXPECT_FALSE(menu.addEntry("one too many"));
    EXPECT_EQ(menu.getNbEntries(), 1024);
    menu.removeAllEntry();
    EXPECT_EQ(menu.getNbEntries(), 0);
    EXPECT_EQ(menu.getCurrent(), -1);
}

} // namespace
