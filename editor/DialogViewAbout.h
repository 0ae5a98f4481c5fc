// The About panel: the about artwork, the version line and an OK button
// that asks the editor to take the panel away.
#pragma once

#include "editor/DialogView.h"

class CKickButtonInv;
class CLabel;

class DialogViewAbout : public DialogView {
public:
    static constexpr int32_t kOkTag = 1;

    DialogViewAbout(tq_spectrumEditor* editor, int32_t bitmapId);
    ~DialogViewAbout() override = default;

    bool open() override;
    void close() override;
    void valueChanged(CDrawContext* context, CControl* control) override;

    CKickButtonInv* okButton = nullptr;
    CLabel* versionLabel = nullptr;
};
