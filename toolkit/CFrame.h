// The top-level view: a child window of the host's window, the surface the
// whole editor is drawn into, the background bitmap and the views on it.
// Its idle draws what is dirty and shows it; mouse input from the window
// reaches the topmost view under the pointer.
//
// Reference counted like any view: while the window or the owner calls
// into it (a click, its idle, a popup's outcome) it holds itself, so that
// an owner that closes it and lets it go from inside such a call (a host
// closing the editor from a callback) has the window destroyed and the
// frame deleted once that call has returned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CViewContainer.h"

class CFrameOwner;
class COptionMenu;

class CFrame : public CViewContainer, private platform::WindowClient {
public:
    // Size is in window coordinates; its top-left corner is the window's.
    CFrame(const CRect& size, CFrameOwner* owner);
    // Closes the window and releases every view still in the frame.
    ~CFrame() override;

    // Creates the child window in `parentWindow`; the first idle draws all.
    bool open(void* parentWindow);
    // The scale (percent) its views are laid out for: text, and what the
    // platform draws for the window (popup menus), follow it. Set before open.
    void setScale(int32_t percent);
    int32_t getScale() const { return drawContext.getScale(); }
    // Destroys the window (at once, or when the call in progress returns)
    // and ends an open popup as dismissed.
    void close();
    bool isOpen() const { return window != nullptr && !closePending; }
    void* getSystemWindow() const { return window; }

    // Draws and shows: everything when the frame is dirty, otherwise the
    // areas views left and then each dirty view.
    void idle();

    // The frame's own mark: dirty means redraw everything.
    bool isDirty() const override { return dirty; }
    void setDirty(bool state = true) override { dirty = state; }
    // An area (frame coordinates) to draw again at the next idle.
    void invalidRect(const CRect& rect);

    CFrameOwner* getOwner() const { return owner; }
    void beginEdit(int32_t tag);
    void endEdit(int32_t tag);
    void doIdleStuff();

    void setFocusView(CView* view) { focusView = view; }
    CView* getFocusView() const { return focusView; }

    int32_t onKeyDown(int32_t character, int32_t virtualKey, int32_t modifiers) override;
    int32_t onKeyUp(int32_t character, int32_t virtualKey, int32_t modifiers) override;
    // `where` in window coordinates.
    bool onWheel(const CPoint& where, float distance);
    using CViewContainer::onWheel;

    // The pointer in frame coordinates, one pass of a tracking loop; false
    // (buttons released) once the frame is closed.
    bool pollMouse(CPoint& where, int32_t& buttons);
    // Shows `menu`'s popup with its top-left corner at `where` (frame
    // coordinates). The outcome reaches menu->popupClosed, now or from a
    // later idle, at the latest when the frame closes; false when nothing
    // was shown, and then nothing will reach it.
    bool popupMenu(const CPoint& where, const platform::MenuItem* items, size_t count,
                   COptionMenu* menu);
    bool hasPopup() const { return popupOwner != nullptr; }

    // What has been drawn so far, width x height pixels 0xAARRGGBB.
    const uint32_t* getPixels() const { return pixels.data(); }

    CFrame* asFrame() override { return this; }
    const CFrame* asFrame() const override { return this; }

private:
    class Busy;

    void mouseDown(const platform::MouseState& state) override;
    void paint(const platform::Rect& area) override;
    void menuClosed(int32_t chosen) override;

    // Destroys the window and dismisses an open popup.
    void closeNow();
    // Hands the open popup's outcome to its menu.
    void finishPopup(int32_t chosen);

    // Draws `area` (frame coordinates) into the surface.
    void drawArea(const CRect& area);
    // Shows `area` of the surface in the window.
    void presentArea(const CRect& area);
    int32_t sendKey(bool down, int32_t character, int32_t virtualKey, int32_t modifiers);

    CFrameOwner* owner;
    void* window = nullptr;
    std::vector<uint32_t> pixels;
    CDrawContext drawContext;  // idle and paint
    CDrawContext mouseContext; // clicks; idle may run inside one
    CRect invalidArea;
    CView* focusView = nullptr;
    COptionMenu* popupOwner = nullptr; // held while its popup is open
    int32_t busyDepth = 0;
    bool closePending = false;
};
