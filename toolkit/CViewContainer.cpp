#include "toolkit/CViewContainer.h"

#include <algorithm>

#include "toolkit/CBitmap.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"

CViewContainer::CViewContainer(const CRect& rect, CFrame* owner, CBitmap* bitmap) : CView(rect) {
    frame = owner;
    setBackground(bitmap);
}

CViewContainer::~CViewContainer() {
    removeAll(true);
}

bool CViewContainer::addView(CView* view) {
    if (!view || view == this || view->getParentView() || view->asFrame()) {
        return false;
    }
    children.push_back(view);
    view->remember();
    view->attached(this);
    view->setDirty(true);
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
    const auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) {
        return false;
    }
    if (CFrame* shownIn = attachedFrame()) {
        // What lay below the view shows again.
        shownIn->invalidRect(view->toFrame(view->getViewSize()).intersection(toFrame(size)));
        if (shownIn->getFocusView() == view) {
            shownIn->setFocusView(nullptr);
        }
    }
    children.erase(it);
    view->removed();
    // Removal drops the reference adding took; a release drops one more,
    // unless the container's was the last.
    const bool release = withForget && view->getNbReference() > 1;
    view->forget();
    if (release) {
        view->forget();
    }
    return true;
}

void CViewContainer::removeAll(bool withForget) {
    while (!children.empty()) {
        removeView(children.back(), withForget);
    }
}

bool CViewContainer::isChild(const CView* view) const {
    return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(size_t index) const {
    return index < children.size() ? children[index] : nullptr;
}

CView* CViewContainer::getViewAt(const CPoint& where) const {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if ((*it)->getMouseEnabled() && (*it)->hitTest(where)) {
            return *it;
        }
    }
    return nullptr;
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& local) {
    if (background) {
        if (transparent) {
            background->drawTransparent(context, local, CPoint(local.left, local.top));
        } else {
            background->draw(context, local, CPoint(local.left, local.top));
        }
    } else if (!transparent) {
        context->setFillColor(backgroundColor);
        context->fillRect(local);
    }
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& area) {
    CRect update = area.intersection(size);
    if (!context || update.isEmpty()) {
        return;
    }
    const CDrawContext::State saved = context->saveState();
    context->clipTo(update);
    const CPoint origin = context->getOffset();
    context->setOffset(CPoint(origin.x + size.left, origin.y + size.top));
    update.offset(-size.left, -size.top);

    drawBackgroundRect(context, update);
    for (size_t i = 0; i < children.size(); ++i) {
        CView* child = children[i];
        if (child->getViewSize().intersects(update)) {
            child->draw(context);
            child->setDirty(false);
        }
    }
    context->restoreState(saved);
    dirty = false;
}

void CViewContainer::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    CPoint local(where.x - size.left, where.y - size.top);
    CView* hit = getViewAt(local);
    if (!hit || !context) {
        return;
    }
    const CDrawContext::State saved = context->saveState();
    context->setOffset(CPoint(saved.offset.x + size.left, saved.offset.y + size.top));
    // The view may leave this container while it handles the click.
    hit->remember();
    hit->mouse(context, local, buttons);
    hit->forget();
    context->restoreState(saved);
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    const CPoint local(where.x - size.left, where.y - size.top);
    CView* hit = getViewAt(local);
    if (!hit || !context) {
        return false;
    }
    const CDrawContext::State saved = context->saveState();
    context->setOffset(CPoint(saved.offset.x + size.left, saved.offset.y + size.top));
    hit->remember();
    const bool handled = hit->onWheel(context, local, distance);
    hit->forget();
    context->restoreState(saved);
    return handled;
}

bool CViewContainer::isDirty() const {
    if (dirty) {
        return true;
    }
    for (const CView* child : children) {
        if (child->isDirty()) {
            return true;
        }
    }
    return false;
}

void CViewContainer::setDirty(bool state) {
    dirty = state;
    if (!state) {
        for (CView* child : children) {
            child->setDirty(false);
        }
    }
}

void CViewContainer::setFrame(CFrame* owner) {
    frame = owner;
    for (CView* child : children) {
        child->setFrame(owner);
    }
}
