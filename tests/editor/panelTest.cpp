// The About and suspended panels taking the bars' place: suspend and resume
// in every state, About from the Help menu and its OK button.
#include <gtest/gtest.h>

#include "analysis/tq_spectrumCore.h"
#include "editor/CKickButtonInv.h"
#include "editor/CLabel.h"
#include "editor/DialogViewAbout.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "PluginRig.h"
#include "resources/bitmapIds.h"
#include "tests/support/editorMouse.h"
#include "tests/support/fakeHost.h"
#include "toolkit/CFrame.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CViewContainer.h"
#include "toolkit/CVuMeter.h"
#include "windowProbe.h"

namespace {

const std::vector<int32_t> kEachBarOnce(SpectrumLayout::kBandCount, 1);
const std::vector<int32_t> kNoBars(SpectrumLayout::kBandCount, 0);

// The panel's container is the topmost view of the frame.
bool panelOnTop(const PluginRig& rig, int32_t panel) {
    const tq_spectrumEditor* editor = rig.editor();
    const CFrame* frame = editor->getFrame();
    const CView* view = editor->panels[panel]->view;
    return frame->getNbViews() > 0 && frame->getView(frame->getNbViews() - 1) == view;
}

bool inFrame(const PluginRig& rig, int32_t panel) {
    const tq_spectrumEditor* editor = rig.editor();
    return editor->getFrame()->isChild(editor->panels[panel]->view);
}

// The dimmed panel on top, no bar in the frame.
void expectSuspendedPanel(const PluginRig& rig) {
    EXPECT_EQ(rig.editor()->shownPanel, 1);
    EXPECT_TRUE(panelOnTop(rig, 1));
    EXPECT_FALSE(inFrame(rig, 0));
    EXPECT_EQ(rig.barsInFrame(), kNoBars);
}

// Every bar once in the frame, neither panel, none asked for.
void expectBars(const PluginRig& rig) {
    EXPECT_EQ(rig.editor()->shownPanel, -1);
    EXPECT_EQ(rig.editor()->requestedPanel.load(), -1);
    EXPECT_FALSE(inFrame(rig, 0));
    EXPECT_FALSE(inFrame(rig, 1));
    EXPECT_EQ(rig.barsInFrame(), kEachBarOnce);
}

DialogViewAbout* aboutPanel(const PluginRig& rig) {
    return static_cast<DialogViewAbout*>(rig.editor()->panels[0]);
}

} // namespace

// Suspended while the editor is closed or shows the About panel, the
// plug-in shows the dimmed panel from the next idle on; resumed, the bars.
TEST(EditorPanels, SuspendShowsTheDimmedPanelAtTheNextIdleAndResumeTheBars) {
    for (const bool aboutShown : {false, true}) {
        SCOPED_TRACE(aboutShown ? "About shown" : "editor closed");
        PluginRig rig;
        if (aboutShown) {
            ASSERT_TRUE(rig.open());
            rig.chooseFromMenu(PluginRig::kHelpMenu, 3);
            rig.idle();
            ASSERT_EQ(rig.editor()->shownPanel, 0);
            rig.suspend();
        } else {
            rig.suspend();
            ASSERT_TRUE(rig.open());
            EXPECT_EQ(rig.editor()->shownPanel, -1) << "not before the first idle";
            EXPECT_EQ(rig.barsInFrame(), kEachBarOnce);
        }
        rig.idle();
        expectSuspendedPanel(rig);
        rig.resume();
        rig.idle();
        expectBars(rig);
    }
}

TEST(EditorPanels, SuspendWhileTheBarsShowStopsTheDecayUntilResume) {
    PluginRig rig;
    ASSERT_TRUE(rig.openAndIdle());
    tq_spectrumCore* core = rig.core();
    core->bandLevel[30].store(1.0f);
    rig.decayStep();
    ASSERT_FLOAT_EQ(core->bandLevel[30].load(), 0.8f);

    rig.suspend();
    rig.idle();
    expectSuspendedPanel(rig);
    for (int32_t i = 0; i < 20; ++i) {
        rig.idleAfter(100);
    }
    EXPECT_FLOAT_EQ(core->bandLevel[30].load(), 0.8f) << "no decay while suspended";
    EXPECT_FLOAT_EQ(rig.editor()->bars[30]->getValue(), 0.8f);

    rig.resume();
    rig.idle();
    expectBars(rig);
    EXPECT_FLOAT_EQ(core->bandLevel[30].load(), 0.6f) << "the long wait ends in one step";
    rig.decayStep();
    EXPECT_FLOAT_EQ(core->bandLevel[30].load(), 0.4f);
}

TEST(EditorPanels, ResumeWithNoPanelShownChangesNothing) {
    PluginRig rig;
    ASSERT_TRUE(rig.openAndIdle());
    rig.resume();
    rig.idle();
    expectBars(rig);
    EXPECT_EQ(rig.editor()->getFrame()->getNbViews(), 108u);
}

TEST(EditorPanels, AboutComesFromTheHelpMenuAtTheNextIdle) {
    PluginRig rig;
    ASSERT_TRUE(rig.openAndIdle());
    rig.chooseFromMenu(PluginRig::kHelpMenu, 3);
    const tq_spectrumEditor* editor = rig.editor();
    EXPECT_EQ(editor->requestedPanel.load(), 0);
    EXPECT_EQ(editor->shownPanel, -1);
    EXPECT_EQ(editor->helpMenu->getCurrent(), 0) << "the menu reads Help again";
    EXPECT_TRUE(HeadlessSystem::openedUrls().empty());

    rig.idle();
    EXPECT_EQ(editor->shownPanel, 0);
    EXPECT_TRUE(panelOnTop(rig, 0));
    EXPECT_EQ(rig.barsInFrame(), kNoBars);

    const DialogViewAbout* about = aboutPanel(rig);
    ASSERT_NE(about->okButton, nullptr);
    ASSERT_NE(about->versionLabel, nullptr);
    EXPECT_EQ(about->view->getViewSize(), CRect(0, 0, 570, 180));
    EXPECT_EQ(about->okButton->getViewSize(), PluginRig::kOkButton);
    EXPECT_EQ(about->okButton->getTag(), 1);
    EXPECT_FLOAT_EQ(about->okButton->getValue(), 0.0f) << "released image";
    EXPECT_EQ(about->versionLabel->getViewSize(), CRect(13, 36, 233, 51));
    EXPECT_STREQ(about->versionLabel->text, "Version 1.3.0 (VST 2.4/VSTGUI 3.0)");
}

TEST(EditorPanels, APanelTakesTheClicksMeantForTheMenus) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    rig.chooseFromMenu(PluginRig::kHelpMenu, 3);
    rig.idle();
    const size_t popups = rig.window.popups().size();
    rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    EXPECT_EQ(rig.window.popups().size(), popups) << "no menu opened under the panel";
    EXPECT_EQ(rig.editor()->scaleMode, 0);
    EXPECT_EQ(rig.editor()->shownPanel, 0);
}

// OK reports its press at once; the tracking loop's idle takes the panel
// away while the button is still held down.
TEST(EditorPanels, OkRemovesTheAboutPanelWhileTheButtonIsHeld) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    rig.chooseFromMenu(PluginRig::kHelpMenu, 3);
    rig.idle();
    tq_spectrumEditor* editor = rig.editor();
    ASSERT_EQ(editor->shownPanel, 0);
    CKickButtonInv* ok = aboutPanel(rig)->okButton;

    struct Snapshot {
        int32_t shownPanel;
        float okValue;
        bool panelInFrame;
        int32_t differencesFromBackground;
    };
    std::vector<Snapshot> atHostIdle;
    fakeHost::onCall = [&](const fakeHost::Call& call) {
        if (call.opcode == audioMasterIdle) {
            atHostIdle.push_back(
                {editor->shownPanel, ok->getValue(), inFrame(rig, 0),
                 differencesFrom(rig.window, bitmapIds::kBackground, editorViewRects())});
        }
    };
    fakeHost::calls.clear();

    holdAndRelease(rig.window, PluginRig::kOkButton.left + 20, PluginRig::kOkButton.top + 7, 3, 60);
    fakeHost::onCall = nullptr;

    ASSERT_FALSE(atHostIdle.empty()) << "the tracking loop idled the editor";
    EXPECT_EQ(atHostIdle.front().shownPanel, -1);
    EXPECT_FLOAT_EQ(atHostIdle.front().okValue, 1.0f) << "still held";
    EXPECT_FALSE(atHostIdle.front().panelInFrame);
    EXPECT_EQ(atHostIdle.front().differencesFromBackground, 0) << "the window shows the bars";

    const auto& calls = fakeHost::calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.front().index, 1);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(calls.back().index, 1);
    EXPECT_EQ(fakeHost::indexesOf(audioMasterBeginEdit), std::vector<VstInt32>{1});
    EXPECT_EQ(fakeHost::indexesOf(audioMasterEndEdit), std::vector<VstInt32>{1});

    // The release that followed changed nothing more.
    EXPECT_FLOAT_EQ(ok->getValue(), 0.0f);
    expectBars(rig);
    EXPECT_EQ(editor->scaleMode, 0);
    EXPECT_TRUE(HeadlessSystem::openedUrls().empty());
    rig.idleAfter(100);
    expectBars(rig);
}

TEST(EditorPanels, ClosingWithAPanelShownBringsItBackOnlyIfStillRequested) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    rig.suspend();
    rig.idle();
    rig.close();
    ASSERT_TRUE(rig.openAndIdle());
    expectSuspendedPanel(rig);

    rig.close();
    rig.resume();
    ASSERT_TRUE(rig.openAndIdle());
    expectBars(rig);
    rig.core()->bandLevel[0].store(1.0f);
    rig.decayStep();
    EXPECT_FLOAT_EQ(rig.core()->bandLevel[0].load(), 0.8f);
}

TEST(EditorPanels, PanelRequestsReachThePanelNotTheDisplay) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    rig.suspend();
    rig.idle();
    // The suspended panel's handlers are empty; nothing may change.
    rig.editor()->setParameter(0, 1.0f);
    rig.chooseFromMenu(PluginRig::kHelpMenu, 2);
    EXPECT_TRUE(HeadlessSystem::openedUrls().empty());
    EXPECT_EQ(rig.editor()->shownPanel, 1);
    EXPECT_EQ(rig.editor()->requestedPanel.load(), 1);
}

TEST(EditorPanels, ClosingAPanelReappliesTheCurrentAxis) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    const int32_t top = rig.core()->bandStartBin[96].load();
    ASSERT_EQ(top, 2321);
    rig.suspend();
    rig.idle();
    for (auto& bin : rig.core()->bandStartBin) {
        bin.store(-7); // to see it rebuilt
    }
    rig.resume();
    rig.idle();
    EXPECT_EQ(rig.editor()->scaleMode, 1);
    EXPECT_EQ(rig.core()->bandStartBin[96].load(), top);
    EXPECT_EQ(rig.core()->bandStartBin[80].load(), 500);
    EXPECT_EQ(rig.core()->bandStartBin[0].load(), 0);
}
