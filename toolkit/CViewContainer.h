// A view holding an ordered list of views: later views are drawn above
// earlier ones and are hit first. Adding a view takes a reference to it and
// removing drops that one; removing with release also drops the creator's,
// so a view created and added once is deleted by a removal with release.
#pragma once

#include <cstddef>
#include <cstdint>
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

    // False for null, itself, or a view already in some container. Out of
    // memory it throws and changes nothing.
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

    // Called by a view whose rectangle changed.
    void viewResized() { ++layoutVersion; }

protected:
    void drawBackgroundRect(CDrawContext* context, const CRect& local);
    // The same as drawRect(context, rectangle of view `index`). When the
    // container sits at (0, 0) and no other view overlaps that one, the
    // others are not searched, and nothing is drawn below a view that
    // paints its whole rectangle.
    void drawViewArea(CDrawContext* context, size_t index);

    std::vector<CView*> children;
    CColor backgroundColor = kBlackCColor;
    int32_t mode = kRedrawWhole;

private:
    // Draws, from `first` on, every view that `update` (this container's
    // own coordinates) touches, and clears its mark.
    void drawViewsFrom(CDrawContext* context, const CRect& update, size_t first);
    bool overlapsNoOther(size_t index);

    // Per view, whether another view overlaps it; kept the length of
    // `children` by adding and removing, filled in when first needed after
    // the layout changed.
    std::vector<uint8_t> overlapped;
    uint64_t layoutVersion = 0;
    uint64_t overlapVersion = ~uint64_t(0);
};
