#include "toolkit/CView.h"

#include "toolkit/CBitmap.h"
#include "toolkit/CViewContainer.h"

CView::CView(const CRect& rect) : size(rect) {}

CView::~CView() {
    if (background) {
        background->forget();
    }
}

void CView::draw(CDrawContext* context) {
    if (background) {
        if (transparent) {
            background->drawTransparent(context, size);
        } else {
            background->draw(context, size);
        }
    }
    setDirty(false);
}

void CView::mouse(CDrawContext*, CPoint&, int32_t) {}

int32_t CView::onKeyDown(int32_t, int32_t, int32_t) {
    return -1;
}

int32_t CView::onKeyUp(int32_t, int32_t, int32_t) {
    return -1;
}

bool CView::onWheel(CDrawContext*, const CPoint&, float) {
    return false;
}

bool CView::hitTest(const CPoint& where) const {
    return size.pointInside(where);
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap == background) {
        return;
    }
    if (bitmap) {
        bitmap->remember();
    }
    if (background) {
        background->forget();
    }
    background = bitmap;
    setDirty(true);
}

void CView::setViewSize(const CRect& rect) {
    size = rect;
    setDirty(true);
    if (parentView) {
        parentView->viewResized();
    }
}

CFrame* CView::attachedFrame() const {
    const CView* top = this;
    while (top->parentView) {
        top = top->parentView;
    }
    return const_cast<CView*>(top)->asFrame();
}

CRect CView::toFrame(const CRect& rect) const {
    CRect r = rect;
    for (const CView* p = parentView; p; p = p->parentView) {
        r.offset(p->size.left, p->size.top);
    }
    return r;
}

void CView::attached(CViewContainer* parent) {
    parentView = parent;
    if (parent && parent->getFrame()) {
        setFrame(parent->getFrame());
    }
}

void CView::removed() {
    parentView = nullptr;
}
