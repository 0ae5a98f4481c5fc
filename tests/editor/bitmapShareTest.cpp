// Every instance and every open of the editor uses one decode of each
// bitmap resource: the artwork's pixels are shared read-only and the
// picture stays the same.
#include <gtest/gtest.h>

#include <utility>

#include "editor/CKickButtonInv.h"
#include "editor/DialogView.h"
#include "editor/DialogViewAbout.h"
#include "editor/tq_spectrumEditor.h"
#include "PluginRig.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CBitmapCache.h"
#include "toolkit/CViewContainer.h"

namespace {

const uint32_t* pixelsOf(const CBitmap* bitmap) {
    return bitmap ? std::as_const(*bitmap).getPixels() : nullptr;
}

const CBitmap* panelPicture(const tq_spectrumEditor* editor, int32_t panel) {
    return editor->panels[panel] && editor->panels[panel]->view
               ? editor->panels[panel]->view->getBackground()
               : nullptr;
}

const CBitmap* okPicture(const tq_spectrumEditor* editor) {
    const auto* about = static_cast<const DialogViewAbout*>(editor->panels[0]);
    return about && about->okButton ? about->okButton->getBackground() : nullptr;
}

TEST(EditorArtwork, TwoInstancesShareTheDecodedPixelsAndShowTheSamePicture) {
    PluginRig first;
    PluginRig second;
    ASSERT_TRUE(first.open());
    ASSERT_TRUE(second.open());
    first.idle();
    second.idle();
    const tq_spectrumEditor* a = first.editor();
    const tq_spectrumEditor* b = second.editor();

    EXPECT_NE(a->background, b->background) << "each instance holds its own bitmap";
    ASSERT_NE(pixelsOf(a->background), nullptr);
    EXPECT_EQ(pixelsOf(a->background), pixelsOf(b->background));
    for (int32_t panel = 0; panel < 2; ++panel) {
        ASSERT_NE(pixelsOf(panelPicture(a, panel)), nullptr) << panel;
        EXPECT_EQ(pixelsOf(panelPicture(a, panel)), pixelsOf(panelPicture(b, panel))) << panel;
    }
    ASSERT_NE(pixelsOf(okPicture(a)), nullptr);
    EXPECT_EQ(pixelsOf(okPicture(a)), pixelsOf(okPicture(b)));
    EXPECT_EQ(first.window.pixels(), second.window.pixels());
}

TEST(EditorArtwork, ReopeningAndMoreInstancesDecodeNothingAgain) {
    PluginRig first;
    ASSERT_TRUE(first.openAndIdle());
    // Each of the seven resources once, whatever ran before in this process.
    const size_t decodes = CBitmapCache::resources().getDecodeCount();
    EXPECT_EQ(decodes, 7u);
    const auto picture = first.window.pixels();

    for (int32_t round = 0; round < 3; ++round) {
        first.close();
        ASSERT_TRUE(first.openAndIdle());
        first.suspend();
        first.idle();
        first.resume();
        first.idle();
    }
    PluginRig second;
    ASSERT_TRUE(second.openAndIdle());
    EXPECT_EQ(CBitmapCache::resources().getDecodeCount(), decodes);
    EXPECT_EQ(second.window.pixels(), picture);
}

} // namespace
