// The View and Help menus as a user works them: what each choice does,
// what the popup offers, and what the host hears about it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "PluginRig.h"
#include "tests/support/fakeHost.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"

namespace {

std::vector<std::string> entryTexts(const HeadlessWindow::PopupRecord& popup) {
    std::vector<std::string> texts;
    for (const auto& entry : popup.entries) {
        texts.push_back(entry.text);
    }
    return texts;
}

struct Checks {
    bool view, linear, logarithmic;
};

Checks checksOf(const COptionMenu* menu) {
    return {menu->isCheckEntry(0), menu->isCheckEntry(2), menu->isCheckEntry(3)};
}

class EditorMenus : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.openAndIdle());
        fakeHost::calls.clear();
    }
    tq_spectrumEditor* editor() const { return rig.editor(); }

    PluginRig rig;
};

} // namespace

TEST_F(EditorMenus, PopupsOfferTheEntriesUnderTheirMenus) {
    rig.chooseFromMenu(PluginRig::kViewMenu, -1);
    rig.chooseFromMenu(PluginRig::kHelpMenu, -1);
    const auto& popups = rig.window.popups();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(entryTexts(popups[0]),
              (std::vector<std::string>{"View", "-", "Linear", "Logarithmic"}));
    EXPECT_EQ(entryTexts(popups[1]),
              (std::vector<std::string>{"Help", "-", "corvale...", "About..."}));
    EXPECT_TRUE(popups[0].entries[1].separator);
    EXPECT_TRUE(popups[1].entries[1].separator);
    // The top-left corner at the menu's bottom-left corner.
    EXPECT_EQ(popups[0].x, 20);
    EXPECT_EQ(popups[0].y, 17);
    EXPECT_EQ(popups[1].x, 55);
    EXPECT_EQ(popups[1].y, 17);
    // Help has no check style: nothing is marked, not even the current entry.
    for (const auto& entry : popups[1].entries) {
        EXPECT_FALSE(entry.checked) << entry.text;
    }
    EXPECT_TRUE(popups[0].entries[2].checked);
    EXPECT_FALSE(popups[0].entries[0].checked);
    EXPECT_FALSE(popups[0].entries[3].checked);
}

TEST_F(EditorMenus, CorvaleAsksOnceToOpenTheHomePage) {
    rig.chooseFromMenu(PluginRig::kHelpMenu, 2);
    ASSERT_EQ(HeadlessSystem::openedUrls().size(), 1u);
    EXPECT_EQ(HeadlessSystem::openedUrls()[0], tq_spectrumEditor::kHomePage);
    EXPECT_EQ(HeadlessSystem::openedUrls()[0].rfind("https://", 0), 0u);
    EXPECT_EQ(editor()->helpMenu->getCurrent(), 0);
    EXPECT_EQ(editor()->requestedPanel.load(), -1);

    // The display keeps running.
    rig.core()->bandLevel[7].store(1.0f);
    rig.decayStep();
    EXPECT_EQ(editor()->shownPanel, -1);
    EXPECT_FLOAT_EQ(rig.core()->bandLevel[7].load(), 0.8f);
    EXPECT_EQ(HeadlessSystem::openedUrls().size(), 1u);
}

// View changes nothing on either axis, and neither does Logarithmic chosen
// again: the table, the marks and the labels stay, and the menu reads View.
TEST_F(EditorMenus, ChoicesThatKeepTheAxisChangeNothing) {
    const struct {
        const char* what;
        int32_t choice;
        int32_t scaleMode;
    } steps[] = {{"View on the linear axis", 0, 0},
                 {"Logarithmic", 3, 1},
                 {"Logarithmic again", 3, 1},
                 {"View on the logarithmic axis", 0, 1}};
    int32_t scaleMode = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        const auto table = rig.bandTable();
        rig.chooseFromMenu(PluginRig::kViewMenu, step.choice);
        // The popup showed the marks of the axis it was opened on.
        const auto& popup = rig.window.popups().back();
        EXPECT_FALSE(popup.entries[0].checked);
        EXPECT_EQ(popup.entries[2].checked, scaleMode == 0);
        EXPECT_EQ(popup.entries[3].checked, scaleMode == 1);
        if (step.scaleMode == scaleMode) {
            EXPECT_EQ(rig.bandTable(), table);
        }
        scaleMode = step.scaleMode;
        EXPECT_EQ(editor()->scaleMode, scaleMode);
        const Checks checks = checksOf(editor()->viewMenu);
        EXPECT_FALSE(checks.view);
        EXPECT_EQ(checks.linear, scaleMode == 0);
        EXPECT_EQ(checks.logarithmic, scaleMode == 1);
        EXPECT_EQ(rig.labelTexts(),
                  scaleMode == 1 ? PluginRig::kLogLabels : PluginRig::kLinearLabels44);
        EXPECT_EQ(editor()->viewMenu->getCurrent(), 0) << "the menu still reads View";
    }
}

TEST_F(EditorMenus, LinearAgainRebuildsTheTableAndRedrawsTheLabels) {
    const auto texts = rig.labelTexts();
    for (auto& bin : rig.core()->bandStartBin) {
        bin.store(-7); // to see it rebuilt
    }
    rig.chooseFromMenu(PluginRig::kViewMenu, 2);
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        ASSERT_EQ(rig.core()->bandStartBin[i].load(), SpectrumLayout::linearStartBin(i));
    }
    for (const CParamDisplay* label : editor()->frequencyLabels) {
        EXPECT_TRUE(label->isDirty());
    }
    EXPECT_EQ(rig.labelTexts(), texts);
    EXPECT_TRUE(checksOf(editor()->viewMenu).linear);
    EXPECT_FALSE(checksOf(editor()->viewMenu).logarithmic);
}

TEST_F(EditorMenus, ADismissedPopupCallsNoListener) {
    // The editor's listener marks a menu dirty on every call; after an idle
    // nothing is dirty, so a dirty menu would betray a call.
    rig.chooseFromMenu(PluginRig::kViewMenu, -1);
    rig.chooseFromMenu(PluginRig::kHelpMenu, -1);
    EXPECT_FALSE(editor()->viewMenu->isDirty());
    EXPECT_FALSE(editor()->helpMenu->isDirty());
    EXPECT_EQ(editor()->scaleMode, 0);
    EXPECT_TRUE(checksOf(editor()->viewMenu).linear);
    EXPECT_TRUE(HeadlessSystem::openedUrls().empty());
    EXPECT_EQ(editor()->requestedPanel.load(), -1);
    ASSERT_EQ(rig.window.popups().size(), 2u);
    EXPECT_EQ(rig.window.popups()[0].answer, -1);

    rig.chooseFromMenu(PluginRig::kViewMenu, 1); // the separator dismisses too
    EXPECT_FALSE(editor()->viewMenu->isDirty());
    EXPECT_EQ(editor()->scaleMode, 0);
}

TEST_F(EditorMenus, OpeningAMenuReportsItsTagAsTheEditIndex) {
    rig.chooseFromMenu(PluginRig::kViewMenu, -1);
    rig.chooseFromMenu(PluginRig::kHelpMenu, 2);
    std::vector<std::pair<VstInt32, VstInt32>> calls;
    for (const fakeHost::Call& call : fakeHost::calls) {
        calls.emplace_back(call.opcode, call.index);
    }
    EXPECT_EQ(calls, (std::vector<std::pair<VstInt32, VstInt32>>{{audioMasterBeginEdit, 2},
                                                                 {audioMasterEndEdit, 2},
                                                                 {audioMasterBeginEdit, 3},
                                                                 {audioMasterEndEdit, 3}}));
}

TEST_F(EditorMenus, RightAndModifierClicksWorkAsPlainClicks) {
    rig.window.scriptPopupChoice(3);
    rig.window.click(30, 10, platform::kMouseRight);
    EXPECT_EQ(editor()->scaleMode, 1);
    rig.window.scriptPopupChoice(2);
    rig.window.click(30, 10, platform::kMouseLeft | platform::kModShift);
    EXPECT_EQ(editor()->scaleMode, 0);
    EXPECT_EQ(fakeHost::indexesOf(audioMasterEndEdit), (std::vector<VstInt32>{2, 2}));
}
