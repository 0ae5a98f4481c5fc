// Opening, closing and reopening the editor as a host does, and what each
// step leaves behind.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/tq_spectrumCore.h"
#include "editor/DialogView.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/platform.h"
#include "PluginRig.h"
#include "tests/support/editorMouse.h"
#include "tests/support/fakeHost.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/CKnobMode.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"
#include "toolkit/CViewContainer.h"
#include "toolkit/CVuMeter.h"

namespace {

void expectLinearTable(const tq_spectrumCore* core) {
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        ASSERT_EQ(core->bandStartBin[i].load(), SpectrumLayout::linearStartBin(i)) << "band " << i;
    }
}

} // namespace

TEST(EditorLifecycle, HostSeesA570By180RectangleBeforeTheFirstOpen) {
    PluginRig rig;
    ERect* rect = nullptr;
    EXPECT_EQ(rig.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 180);
    EXPECT_EQ(rect->right, 570);
    EXPECT_EQ(rig.dispatch(effEditGetRect, 0, 0, nullptr), 0) << "nowhere to write: not answered";
    EXPECT_FALSE(rig.window.hasChild());
}

// Where the scale comes from, first that says something: the host's
// content scale, then the desktop's, else 1x; any factor goes to the
// nearest of 1, 1.5 and 2 (halves up). The host is told the scaled
// rectangle before and after open, and the window has that size.
TEST(EditorLifecycle, TheScaleComesFromTheHostThenTheDesktopElseIsOne) {
    struct Case {
        float host; // 0: no content scale sent
        float desktop;
        int32_t scale;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 100},  {2.0f, 0.0f, 200},     {1.5f, 0.0f, 150},  {1.0f, 2.0f, 100},
        {1.2f, 0.0f, 100},  {1.25f, 0.0f, 150},    {1.75f, 1.0f, 200}, {3.0f, 0.0f, 200},
        {0.5f, 2.0f, 100},  {-1.0f, 1.5f, 150},    {NAN, 2.0f, 200},   {0.0f, 2.0f, 200},
        {0.0f, 1.5f, 150},  {0.0f, 1.3f, 150},     {0.0f, 1.7f, 150},  {0.0f, 1.75f, 200},
        {0.0f, 0.75f, 100}, {INFINITY, 0.0f, 100},
    };
    for (const Case& c : cases) {
        PluginRig rig;
        HeadlessSystem::setDesktopScale(c.desktop);
        if (c.host != 0.0f) {
            EXPECT_EQ(rig.dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue,
                                   nullptr, c.host),
                      1);
        }
        const int32_t width = platform::scaledLength(570, c.scale);
        const int32_t height = platform::scaledLength(180, c.scale);
        const auto what = testing::Message() << "host " << c.host << ", desktop " << c.desktop;
        ERect* rect = nullptr;
        ASSERT_EQ(rig.dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect->right, width) << what;
        EXPECT_EQ(rect->bottom, height) << what;
        ASSERT_TRUE(rig.openAndIdle()) << what;
        EXPECT_EQ(rig.window.width(), width) << what;
        EXPECT_EQ(rig.window.height(), height) << what;
        EXPECT_EQ(rig.window.scale(), c.scale) << what;
        ASSERT_EQ(rig.dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect->right, width) << what;
    }

    // Another vendor's call is not ours; a change while open waits for the
    // next open.
    PluginRig rig;
    EXPECT_EQ(rig.dispatch(effVendorSpecific, kContentScaleIndex, 0, nullptr, 2.0f), 0);
    ASSERT_TRUE(rig.openAndIdle());
    EXPECT_EQ(rig.window.width(), 570);
    EXPECT_EQ(
        rig.dispatch(effVendorSpecific, kContentScaleIndex, kContentScaleValue, nullptr, 2.0f), 1);
    rig.idle();
    EXPECT_EQ(rig.window.width(), 570);
    rig.close();
    ASSERT_TRUE(rig.openAndIdle());
    EXPECT_EQ(rig.window.width(), 1140);
}

TEST(EditorLifecycle, OpenAddsLabelsBarsAndMenusInLayoutOrder) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    const tq_spectrumEditor* editor = rig.editor();
    CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(rig.window.hasChild());
    EXPECT_EQ(rig.window.width(), 570);
    EXPECT_EQ(rig.window.height(), 180);
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 570, 180));
    EXPECT_EQ(frame->getBackground(), editor->background);

    ASSERT_EQ(frame->getNbViews(), size_t(9 + SpectrumLayout::kBandCount + 2));
    for (int32_t k = 0; k < 9; ++k) {
        const CView* view = frame->getView(size_t(k));
        EXPECT_EQ(view, editor->frequencyLabels[k]);
        EXPECT_EQ(view->getViewSize(), PluginRig::labelRect(k)) << "label " << k;
        EXPECT_FLOAT_EQ(editor->frequencyLabels[k]->getValue(), float(k) * 0.125f);
    }
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        const CView* view = frame->getView(size_t(9 + i));
        EXPECT_EQ(view, editor->bars[i]);
        EXPECT_EQ(view->getViewSize(), PluginRig::barRect(i)) << "bar " << i;
        EXPECT_EQ(editor->bars[i]->getNbLed(), 50);
    }
    EXPECT_EQ(frame->getView(106), editor->viewMenu);
    EXPECT_EQ(frame->getView(107), editor->helpMenu);
    EXPECT_EQ(editor->viewMenu->getViewSize(), PluginRig::kViewMenu);
    EXPECT_EQ(editor->helpMenu->getViewSize(), PluginRig::kHelpMenu);
    EXPECT_EQ(editor->viewMenu->getTag(), 2);
    EXPECT_EQ(editor->helpMenu->getTag(), 3);
    // The panels are built but wait outside the frame.
    ASSERT_NE(editor->panels[0], nullptr);
    ASSERT_NE(editor->panels[1], nullptr);
    EXPECT_FALSE(frame->isChild(editor->panels[0]->view));
    EXPECT_FALSE(frame->isChild(editor->panels[1]->view));
    EXPECT_EQ(editor->shownPanel, -1);
    EXPECT_TRUE(editor->opened);
}

TEST(EditorLifecycle, OpenStartsEveryBandFromZero) {
    PluginRig rig;
    for (auto& level : rig.core()->bandLevel) {
        level.store(0.7f);
    }
    ASSERT_TRUE(rig.open());
    for (int32_t i = 0; i < SpectrumLayout::kBandCount; ++i) {
        EXPECT_EQ(rig.core()->bandLevel[i].load(), 0.0f) << "band " << i;
        EXPECT_EQ(rig.editor()->bars[i]->getValue(), 0.0f) << "bar " << i;
    }
}

TEST(EditorLifecycle, OpenIntoNoWindowFailsAndLeavesTheEditorUsable) {
    PluginRig rig;
    EXPECT_EQ(rig.dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(rig.editor()->getFrame(), nullptr);
    rig.idle();
    rig.close();
    ASSERT_TRUE(rig.openAndIdle());
    EXPECT_EQ(rig.editor()->getFrame()->getNbViews(), 108u);
    EXPECT_TRUE(rig.window.hasChild());
}

TEST(EditorLifecycle, ReopeningStartsLinearWithLinearChecked) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    rig.chooseFromMenu(PluginRig::kViewMenu, 3);
    ASSERT_EQ(rig.editor()->scaleMode, 1);
    rig.close();
    EXPECT_EQ(rig.editor()->scaleMode, 1) << "close keeps the mode";

    ASSERT_TRUE(rig.openAndIdle());
    const tq_spectrumEditor* editor = rig.editor();
    EXPECT_EQ(editor->scaleMode, 0);
    expectLinearTable(rig.core());
    EXPECT_FALSE(editor->viewMenu->isCheckEntry(0));
    EXPECT_TRUE(editor->viewMenu->isCheckEntry(2));
    EXPECT_FALSE(editor->viewMenu->isCheckEntry(3));
    EXPECT_EQ(editor->viewMenu->getCurrent(), 0);

    // What the user sees when opening the menu again.
    rig.chooseFromMenu(PluginRig::kViewMenu, -1);
    const auto& entries = rig.window.popups().back().entries;
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_FALSE(entries[0].checked);
    EXPECT_TRUE(entries[1].separator);
    EXPECT_TRUE(entries[2].checked);
    EXPECT_FALSE(entries[3].checked);
}

TEST(EditorLifecycle, IdleBeforeOpenAndAfterCloseChangesNothing) {
    PluginRig rig;
    rig.core()->bandLevel[5].store(1.0f);
    rig.idleAfter(1000);
    rig.idleAfter(1000);
    EXPECT_EQ(rig.core()->bandLevel[5].load(), 1.0f);
    EXPECT_EQ(rig.window.presentCount(), 0u);
    EXPECT_TRUE(fakeHost::calls.empty());

    ASSERT_TRUE(rig.openAndIdle());
    rig.close();
    EXPECT_FALSE(rig.window.hasChild());
    const size_t presents = rig.window.presentCount();
    rig.core()->bandLevel[5].store(1.0f);
    rig.idleAfter(1000);
    rig.idleAfter(1000);
    EXPECT_EQ(rig.core()->bandLevel[5].load(), 1.0f);
    EXPECT_EQ(rig.window.presentCount(), presents);
}

TEST(EditorLifecycle, CallsOnAClosedEditorAreHarmless) {
    PluginRig rig;
    tq_spectrumEditor* editor = rig.editor();
    // A control of the Help menu's tag that is not the editor's menu.
    auto* stranger = new COptionMenu(PluginRig::kHelpMenu, nullptr, 3);
    for (const char* entry : {"Help", "-", "corvale...", "About..."}) {
        stranger->addEntry(entry);
    }
    stranger->setCurrent(2);

    rig.close(); // never opened
    editor->setParameter(0, 0.5f);
    editor->valueChanged(nullptr, stranger);
    editor->valueChanged(nullptr, nullptr);
    ASSERT_TRUE(rig.open());
    rig.close();
    rig.close(); // twice in a row
    editor->setParameter(0, 0.5f);
    editor->valueChanged(nullptr, stranger);
    editor->idle();
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->helpMenu, nullptr);
    EXPECT_EQ(editor->viewMenu, nullptr);
    EXPECT_EQ(editor->panels[0], nullptr);
    EXPECT_EQ(editor->panels[1], nullptr);
    EXPECT_EQ(editor->bars[0], nullptr);
    EXPECT_EQ(editor->frequencyLabels[0], nullptr);
    EXPECT_EQ(editor->requestedPanel.load(), -1);
    EXPECT_TRUE(HeadlessSystem::openedUrls().empty());
    EXPECT_FALSE(rig.window.hasChild());
    stranger->forget();
}

// A host may close the editor from inside any call the editor makes to it
// while the user works a control: the close takes effect once the call the
// host made into the editor has returned, and the host hears the same edit.
TEST(EditorLifecycle, AHostClosingTheEditorFromInsideACallback) {
    struct Case {
        const char* gesture;
        VstInt32 closeAt; // the first host callback of this kind closes
        int32_t panel;    // requested before the gesture
        CRect target;
        int32_t choice; // the popup's answer
        VstInt32 tag;
    };
    const Case cases[] = {
        {"OK pressed", audioMasterBeginEdit, 0, PluginRig::kOkButton, -1, 1},
        {"OK held", audioMasterIdle, 0, PluginRig::kOkButton, -1, 1},
        {"OK released", audioMasterEndEdit, 0, PluginRig::kOkButton, -1, 1},
        {"View clicked", audioMasterBeginEdit, -1, PluginRig::kViewMenu, 3, 2},
        {"Logarithmic chosen", audioMasterEndEdit, -1, PluginRig::kViewMenu, 3, 2},
        {"About... chosen", audioMasterEndEdit, -1, PluginRig::kHelpMenu, 3, 3},
        {"Help dismissed", audioMasterEndEdit, -1, PluginRig::kHelpMenu, -1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gesture);
        PluginRig rig;
        ASSERT_TRUE(rig.open());
        rig.editor()->requestedPanel.store(c.panel);
        rig.idle();
        ASSERT_EQ(rig.editor()->shownPanel, c.panel);
        fakeHost::calls.clear();
        int32_t closes = 0;
        fakeHost::onCall = [&](const fakeHost::Call& call) {
            if (call.opcode == c.closeAt && closes++ == 0) {
                rig.close();
                EXPECT_EQ(rig.editor()->getFrame(), nullptr);
            }
        };
        c.choice < 0 ? rig.window.scriptPopupDismiss() : rig.window.scriptPopupChoice(c.choice);
        holdAndRelease(rig.window, (c.target.left + c.target.right) / 2,
                       (c.target.top + c.target.bottom) / 2, 3, 60);
        rig.idleAfter(100);
        fakeHost::onCall = nullptr;

        EXPECT_EQ(closes, 1);
        EXPECT_FALSE(rig.window.hasChild()) << "the window is down";
        EXPECT_EQ(fakeHost::indexesOf(audioMasterBeginEdit), std::vector<VstInt32>{c.tag});
        EXPECT_EQ(fakeHost::indexesOf(audioMasterEndEdit), std::vector<VstInt32>{c.tag});
        // And the editor opens again, showing what is asked for.
        ASSERT_TRUE(rig.openAndIdle());
        EXPECT_EQ(rig.editor()->shownPanel, rig.editor()->requestedPanel.load());
        EXPECT_EQ(rig.editor()->getFrame()->getNbViews(),
                  rig.editor()->shownPanel == -1 ? 108u : 12u);
    }
}

TEST(EditorLifecycle, KeysFindNoTakerAndTheKnobModeIsKept) {
    PluginRig rig;
    ASSERT_TRUE(rig.openAndIdle());
    EXPECT_EQ(rig.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(rig.dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(rig.dispatch(effSetEditKnobMode, 0, CKnobMode::kLinearMode), 1);
    EXPECT_EQ(CKnobMode::get(), CKnobMode::kLinearMode);
    CKnobMode::set(CKnobMode::kCircularMode);
}

TEST(EditorLifecycle, OpeningTwiceLeavesOneWindowWithOneSetOfViews) {
    PluginRig rig;
    ASSERT_TRUE(rig.open());
    ASSERT_TRUE(rig.open());
    rig.idle();
    const tq_spectrumEditor* editor = rig.editor();
    ASSERT_NE(editor->getFrame(), nullptr);
    EXPECT_TRUE(rig.window.hasChild());
    EXPECT_EQ(editor->getFrame()->getNbViews(), 108u);
    for (int32_t count : rig.barsInFrame()) {
        ASSERT_EQ(count, 1);
    }
    EXPECT_EQ(editor->background->getNbReference(), 2) << "the editor's and the one frame's";
    rig.close();
    EXPECT_FALSE(rig.window.hasChild());
}

TEST(EditorLifecycle, ClosingThePluginWithTheEditorOpenTearsTheWindowDown) {
    PluginRig rig;
    EXPECT_EQ(HeadlessSystem::oleDepth(), 1) << "the editor's construction";
    ASSERT_TRUE(rig.open());
    rig.suspend();
    rig.idle();
    ASSERT_EQ(rig.editor()->shownPanel, 1);
    rig.closePlugin(); // no effEditClose first
    EXPECT_FALSE(rig.window.hasChild());
    EXPECT_EQ(HeadlessSystem::oleDepth(), 0);
}

// Every view the editor made is released by close, whichever panel was
// shown: a reference taken here before close is the only one left after.
TEST(EditorLifecycle, CloseReleasesEveryViewWhateverIsShown) {
    PluginRig rig;
    for (int32_t panel : {-1, 0, 1}) {
        SCOPED_TRACE(panel);
        ASSERT_TRUE(rig.open());
        tq_spectrumEditor* editor = rig.editor();
        editor->requestedPanel.store(panel);
        rig.idle();
        ASSERT_EQ(editor->shownPanel, panel);
        std::vector<CView*> held = {
            editor->bars[0],  editor->bars[96],        editor->frequencyLabels[4], editor->viewMenu,
            editor->helpMenu, editor->panels[0]->view, editor->panels[1]->view};
        for (CView* view : held) {
            view->remember();
        }
        rig.close();
        for (CView* view : held) {
            EXPECT_EQ(view->getNbReference(), 1);
            view->forget();
        }
        EXPECT_EQ(editor->background->getNbReference(), 1);
        editor->requestedPanel.store(-1);
    }
}

TEST(EditorLifecycle, AThousandOpenCloseCyclesLeaveNothingBehind) {
    PluginRig rig;
    tq_spectrumEditor* editor = rig.editor();
    for (int32_t cycle = 0; cycle < 1000; ++cycle) {
        ASSERT_TRUE(rig.open());
        // Cycles alternate: bars, About panel, suspended panel.
        editor->requestedPanel.store(cycle % 3 - 1);
        rig.idleAfter(100);
        ASSERT_EQ(editor->shownPanel, cycle % 3 - 1);
        rig.close();
        ASSERT_FALSE(rig.window.hasChild());
        ASSERT_EQ(editor->background->getNbReference(), 1);
    }
    editor->requestedPanel.store(-1);
    ASSERT_TRUE(rig.openAndIdle());
    EXPECT_EQ(editor->getFrame()->getNbViews(), 108u);
}
