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
    // Both lists grow before anything else changes: a view that cannot be
    // added leaves the container as it was, and the caller still holds it.
    children.push_back(view);
    try {
        overlapped.push_back(1);
    } catch (...) {
        children.pop_back();
        throw;
    }
    ++layoutVersion;
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
    overlapped.erase(overlapped.begin() + (it - children.begin()));
    children.erase(it);
    ++layoutVersion;
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
    drawViewsFrom(context, update, 0);
    context->restoreState(saved);
    dirty = false;
}

void CViewContainer::drawViewsFrom(CDrawContext* context, const CRect& update, size_t first) {
    // Copied, so that it stays in registers while views draw.
    const CRect touched = update;
    for (size_t i = first; i < children.size(); ++i) {
        CView* child = children[i];
        if (child->getViewSize().intersects(touched)) {
            child->draw(context);
            child->setDirty(false);
        }
    }
}

bool CViewContainer::overlapsNoOther(size_t index) {
    if (overlapped.size() != children.size()) {
        return false;
    }
    if (overlapVersion != layoutVersion) {
        const size_t count = children.size();
        for (size_t i = 0; i < count; ++i) {
            overlapped[i] = 0;
        }
        for (size_t i = 0; i < count; ++i) {
            const CRect& a = children[i]->getViewSize();
            for (size_t j = i + 1; j < count; ++j) {
                if (a.intersects(children[j]->getViewSize())) {
                    overlapped[i] = 1;
                    overlapped[j] = 1;
                }
            }
        }
        overlapVersion = layoutVersion;
    }
    return overlapped[index] == 0;
}

void CViewContainer::drawViewArea(CDrawContext* context, size_t index) {
    if (index >= children.size()) {
        return;
    }
    CView* view = children[index];
    if (size.left != 0 || size.top != 0 || !overlapsNoOther(index)) {
        drawRect(context, view->getViewSize());
        return;
    }
    // As drawRect: with the container at (0, 0), area and update are the
    // same rectangle, and the search would find only `view`.
    const CRect update = view->getViewSize().intersection(size);
    if (!context || update.isEmpty()) {
        return;
    }
    const CDrawContext::State saved = context->saveState();
    context->clipTo(update);
    if (!view->paintsWholeRect()) {
        drawBackgroundRect(context, update);
    }
    const uint64_t version = layoutVersion;
    view->draw(context);
    view->setDirty(false);
    if (version != layoutVersion) {
        // The drawing changed the views: go on as the search would.
        drawViewsFrom(context, update, index + 1);
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
