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

std::vector<std::string> labelTexts(const tq_spectrumEditor* editor) {
    std::vector<std::string> texts;
    for (int32_t k = 0; k < 9; ++k) {
        char text[256];
        tq_spectrumEditor::frequencyText(float(k) * 0.125f, text,
                                         const_cast<tq_spectrumEditor*>(editor));
        texts.emplace_back(text);
    }
    return texts;
}

std::vector<int32_t> bandTable(const tq_spectrumCore* core) {
    std::vector<int32_t> table;
    for (const auto& bin : core->bandStartBin) {
        table.push_back(bin.load());
    }
    return table;
}

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

const std::vector<std::string> kLogTexts = {"10", "", "100", "", "1k", "", "10k", "", "100k"};

class EditorMenus : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.open());
        rig.idle();
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

TEST_F(EditorMenus, ChoosingViewChangesNothing) {
    const auto table = bandTable(rig.core());
    rig.chooseFromMenu(PluginRig::kViewMenu, 0);
    EXPECT_EQ(editor()->scaleMode, 0);
    EXPECT_EQ(bandTable(rig.core()), table);
    const Checks checks = checksOf(editor()->viewMenu);
    EXPECT_FALSE(checks.view);
    EXPECT_TRUE(checks.linear);
    EXPECT_FALSE(checks.logarithmic);
    EXPECT_EQ(editor()->viewMenu->getCurrent(), 0) << "the menu still reads View";

    rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    rig.chooseFromMenu(PluginRig::kViewMenu, 0);
    EXPECT_EQ(editor()->scaleMode, 1) << "the logarithmic axis stays";
    EXPECT_EQ(labelTexts(editor()), kLogTexts);
    rig.chooseFromMenu(PluginRig::kViewMenu, -1);
    EXPECT_FALSE(rig.window.popups().back().entries[0].checked);
    EXPECT_TRUE(rig.window.popups().back().entries[3].checked);
}

TEST_F(EditorMenus, LogarithmicTwiceStaysLogarithmic) {
    rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    const auto table = bandTable(rig.core());
    rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    EXPECT_EQ(editor()->scaleMode, 1);
    EXPECT_EQ(bandTable(rig.core()), table);
    const Checks checks = checksOf(editor()->viewMenu);
    EXPECT_FALSE(checks.view);
    EXPECT_FALSE(checks.linear);
    EXPECT_TRUE(checks.logarithmic);
    EXPECT_EQ(labelTexts(editor()), kLogTexts);
    EXPECT_EQ(editor()->viewMenu->getCurrent(), 0);
    // The second popup already showed the mark on Logarithmic.
    const auto& second = rig.window.popups()[1];
    EXPECT_TRUE(second.entries[3].checked);
    EXPECT_FALSE(second.entries[2].checked);
}

TEST_F(EditorMenus, LinearAgainRebuildsTheTableAndRedrawsTheLabels) {
    const auto texts = labelTexts(editor());
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
    EXPECT_EQ(labelTexts(editor()), texts);
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
