#include "editor/DialogView.h"

#include "editor/tq_spectrumEditor.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CViewContainer.h"

DialogView::DialogView(tq_spectrumEditor* owner, int32_t id) : editor(owner), bitmapId(id) {}

DialogView::~DialogView() {
    DialogView::close();
}

bool DialogView::open() {
    if (!view) {
        const COwned<CBitmap> bitmap(editor ? editor->loadBitmap(bitmapId) : new CBitmap(bitmapId));
        view = new CViewContainer(CRect(0, 0, bitmap->getWidth(), bitmap->getHeight()),
                                  editor ? editor->getFrame() : nullptr, bitmap.get());
    }
    view->setMode(updateMode);
    return true;
}

void DialogView::close() {
    if (!view) {
        return;
    }
    if (CViewContainer* parent = view->getParentView()) {
        parent->removeView(view, false);
    }
    view->forget();
    view = nullptr;
}
