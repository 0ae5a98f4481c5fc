#include "editor/DialogViewAbout.h"

#include <cstdio>

#include "editor/CKickButtonInv.h"
#include "editor/CLabel.h"
#include "editor/tq_spectrumEditor.h"
#include "generated/version.h"
#include "resources/bitmapIds.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CViewContainer.h"
#include "vst/AudioEffectX.h"

namespace {

// The plug-in's VST version, 2400 for VST 2.4.
int32_t vstVersionOf(tq_spectrumEditor* editor) {
    auto* effect = editor ? dynamic_cast<AudioEffectX*>(editor->getEffect()) : nullptr;
    return effect ? effect->getVstVersion() : kVstVersion;
}

} // namespace

DialogViewAbout::DialogViewAbout(tq_spectrumEditor* owner, int32_t id) : DialogView(owner, id) {}

bool DialogViewAbout::open() {
    DialogView::open();
    if (okButton) {
        return true; // built already
    }

    // Each control is held here until the container takes it.
    const CScale scale = editor ? editor->getScale() : CScale();
    const COwned<CBitmap> okImage(editor ? editor->loadBitmap(bitmapIds::kOkButton)
                                         : new CBitmap(bitmapIds::kOkButton));
    const int32_t imageHeight = okImage->getHeight() / 2;
    CControlListener* listener = editor;
    const int32_t left = scale.length(487);
    const int32_t top = scale.length(156);
    COwned<CKickButtonInv> button(
        new CKickButtonInv(CRect(left, top, left + okImage->getWidth(), top + imageHeight),
                           listener, kOkTag, imageHeight, okImage.get(), CPoint(0, 0)));
    button->setTransparency(true);
    view->addView(button.get());
    okButton = button.release();

    const int32_t version = vstVersionOf(editor);
    char line[256];
    std::snprintf(line, sizeof line, "Version %d.%d.%d (VST %d.%d/VSTGUI %d.%d)",
                  int(productVersion::kMajor), int(productVersion::kMinor),
                  int(productVersion::kPatch), int(version / 1000), int(version % 1000 / 100), 3,
                  0);
    COwned<CLabel> label(new CLabel(scale.rect(CRect(13, 36, 233, 51)), line));
    label->setFont(4);
    label->setFontColor(kWhiteCColor);
    label->setFrameColor(kBlackCColor);
    label->setHoriAlign(kLeftText);
    view->addView(label.get());
    versionLabel = label.release();
    return true;
}

void DialogViewAbout::close() {
    okButton = nullptr;
    versionLabel = nullptr;
    DialogView::close();
}

void DialogViewAbout::valueChanged(CDrawContext*, CControl* control) {
    if (!control) {
        return;
    }
    if (control->getTag() == kOkTag && editor) {
        editor->requestedPanel.store(-1, std::memory_order_relaxed);
    }
    control->setDirty(true);
}
