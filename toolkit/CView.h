// The base of everything on screen: a rectangle in its container's
// coordinates, a dirty mark, an optional background bitmap, and mouse, key
// and wheel entries. Reference counted; a container holds one reference to
// each of its views.
#pragma once

#include <cstdint>

#include "toolkit/CRect.h"
#include "toolkit/CReferenceCounter.h"

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

class CView : public CReferenceCounter {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    // Draws the view at its rectangle; the default draws the background.
    virtual void draw(CDrawContext* context);
    // True when draw() covers every pixel of the rectangle with opaque
    // ones, so that what lies below need not be drawn first. A view that
    // draws otherwise than its class answers for itself.
    virtual bool paintsWholeRect() const { return false; }
    // A click at `where` (container coordinates); buttons are CMouseButtons.
    virtual void mouse(CDrawContext* context, CPoint& where, int32_t buttons);
    // -1: not handled.
    virtual int32_t onKeyDown(int32_t character, int32_t virtualKey, int32_t modifiers);
    virtual int32_t onKeyUp(int32_t character, int32_t virtualKey, int32_t modifiers);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance);
    // Whether a click at `where` (container coordinates) lands on this view.
    virtual bool hitTest(const CPoint& where) const;

    virtual void setDirty(bool state = true) { dirty = state; }
    virtual bool isDirty() const { return dirty; }
    void invalid() { setDirty(true); }

    void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }
    void setTransparency(bool state) { transparent = state; }
    bool getTransparency() const { return transparent; }
    // Keeps a reference to the bitmap; null removes it.
    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

    const CRect& getViewSize() const { return size; }
    // The only way the rectangle changes once the view is built.
    virtual void setViewSize(const CRect& rect);

    // The frame the view belongs to. It stays known after the view leaves
    // its container, so that a control still reaches the editor.
    CFrame* getFrame() const { return frame; }
    virtual void setFrame(CFrame* owner) { frame = owner; }
    CViewContainer* getParentView() const { return parentView; }
    // The frame when the view is in it (through its containers), else null.
    CFrame* attachedFrame() const;
    // Converts a rectangle of this view's container to frame coordinates.
    CRect toFrame(const CRect& rect) const;

    virtual CFrame* asFrame() { return nullptr; }
    virtual const CFrame* asFrame() const { return nullptr; }

    // Called by the container that takes or gives up the view.
    virtual void attached(CViewContainer* parent);
    virtual void removed();

protected:
    CRect size;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparent = false;
    CBitmap* background = nullptr;
    CFrame* frame = nullptr;
    CViewContainer* parentView = nullptr;
};
