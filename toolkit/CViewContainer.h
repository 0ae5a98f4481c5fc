// A view holding an ordered list of views: later views are drawn above
// earlier ones and are hit first. Adding a view takes a reference to it and
// removing drops that one; removing with release also drops the creator's,
// so a view created and added once is deleted by a removal with release.
#pragma once

#include <cstddef>
#include <vector>

#include "toolkit/CColor.h"
#include "toolkit/CView.h"

class CViewContainer : public CView {
public:
    // Redraw modes.
    enum : int32_t {
        // When the container or any of its views is dirty, the whole
        // container is drawn again: background and every view.
        kRedrawWhole = 0,
    };

    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    // Removes every view still held, with release.
    ~CViewContainer() override;

    // False for null, itself, or a view already in some container.
    virtual bool addView(CView* view);
    // False when the view is not a child.
    virtual bool removeView(CView* view, bool withForget = true);
    virtual void removeAll(bool withForget = true);
    bool isChild(const CView* view) const;
    size_t getNbViews() const { return children.size(); }
    CView* getView(size_t index) const;
    // The topmost mouse-enabled view hit at `where` (this container's own
    // coordinates), or null.
    CView* getViewAt(const CPoint& where) const;

    void setBackgroundColor(const CColor& colour) { backgroundColor = colour; }
    CColor getBackgroundColor() const { return backgroundColor; }
    void setMode(int32_t redrawMode) { mode = redrawMode; }
    int32_t getMode() const { return mode; }

    void draw(CDrawContext* context) override;
    // Draws the part `area` (container coordinates of this view) of the
    // background and of every view it touches; those views are then clean.
    virtual void drawRect(CDrawContext* context, const CRect& area);
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;

    bool isDirty() const override;
    // Clearing the mark clears every view's mark too.
    void setDirty(bool state = true) override;
    void setFrame(CFrame* owner) override;

protected:
    void drawBackgroundRect(CDrawContext* context, const CRect& local);

    std::vector<CView*> children;
    CColor backgroundColor = kBlackCColor;
    int32_t mode = kRedrawWhole;
};
