#include "toolkit/CFrame.h"

#include <exception>

#include "toolkit/CFrameOwner.h"
#include "toolkit/COptionMenu.h"

// Holds the frame for the length of a call into it; the last one out
// carries out a close asked for meanwhile.
class CFrame::Busy {
public:
    explicit Busy(CFrame* held) : frame(held) {
        frame->remember();
        ++frame->busyDepth;
    }
    ~Busy() {
        if (--frame->busyDepth == 0 && frame->closePending) {
            frame->close();
        }
        frame->forget(); // may delete it: the call ends here
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    CFrame* frame;
};

CFrame::CFrame(const CRect& rect, CFrameOwner* frameOwner)
    : CViewContainer(CRect(0, 0, rect.width(), rect.height()), this, nullptr), owner(frameOwner),
      pixels(rect.isEmpty() ? 0 : size_t(rect.width()) * size_t(rect.height()), 0xFF000000u),
      drawContext(this, pixels.data(), rect.width(), rect.height()),
      mouseContext(this, pixels.data(), rect.width(), rect.height()) {}

CFrame::~CFrame() {
    // The last holder let go, so no call into the frame is under way.
    closeNow();
    focusView = nullptr;
    // Here, while this is still a frame: removal reaches the frame's state.
    removeAll(true);
}

bool CFrame::open(void* parentWindow) {
    if (window || pixels.empty()) {
        return false;
    }
    void* child = nullptr;
    if (platform::createWindow(parentWindow, size.width(), size.height(), this, &child) !=
        platform::Status::ok) {
        return false;
    }
    window = child;
    platform::setWindowScale(window, getScale());
    dirty = true;
    return true;
}

void CFrame::setScale(int32_t percent) {
    drawContext.setScale(percent);
    mouseContext.setScale(percent);
}

void CFrame::close() {
    if (busyDepth > 0) {
        closePending = true; // the window is still in use below us
        return;
    }
    // The popup's end of edit reaches the owner, which may call back in.
    Busy busy(this);
    closeNow();
}

void CFrame::closeNow() {
    closePending = false;
    if (window) {
        platform::destroyWindow(window);
        window = nullptr;
    }
    finishPopup(-1);
}

void CFrame::invalidRect(const CRect& rect) {
    invalidArea = invalidArea.unite(rect.intersection(size));
}

void CFrame::drawArea(const CRect& area) {
    drawContext.resetState();
    drawRect(&drawContext, area);
}

void CFrame::presentArea(const CRect& area) {
    platform::present(window, platform::Surface{size.width(), size.height(), pixels.data()},
                      platform::Rect{area.left, area.top, area.right, area.bottom});
}

void CFrame::idle() {
    if (!isOpen()) {
        return;
    }
    Busy busy(this);
    // Input and exposure that the OS queued since the last idle come first.
    platform::pumpEvents(window);
    if (!isOpen()) {
        return;
    }
    if (dirty) {
        invalidArea = CRect();
        drawArea(size);
        CViewContainer::setDirty(false);
        presentArea(size);
        return;
    }
    // Each area is drawn on its own; the window gets them together.
    CRect shown = invalidArea;
    if (!invalidArea.isEmpty()) {
        invalidArea = CRect();
        drawArea(shown);
    }
    for (size_t i = 0; i < children.size(); ++i) {
        CView* child = children[i];
        if (child->isDirty()) {
            drawContext.resetState();
            drawViewArea(&drawContext, i);
            shown = shown.unite(child->getViewSize().intersection(size));
        }
    }
    if (!shown.isEmpty()) {
        presentArea(shown);
    }
}

void CFrame::beginEdit(int32_t tag) {
    if (owner) {
        owner->beginEdit(tag);
    }
}

void CFrame::endEdit(int32_t tag) {
    if (owner) {
        owner->endEdit(tag);
    }
}

void CFrame::doIdleStuff() {
    if (owner) {
        owner->doIdleStuff();
    }
}

int32_t CFrame::sendKey(bool down, int32_t character, int32_t virtualKey, int32_t modifiers) {
    auto send = [&](CView* view) {
        return down ? view->onKeyDown(character, virtualKey, modifiers)
                    : view->onKeyUp(character, virtualKey, modifiers);
    };
    if (focusView) {
        return send(focusView);
    }
    for (size_t i = children.size(); i-- > 0;) {
        const int32_t result = send(children[i]);
        if (result != -1) {
            return result;
        }
    }
    return -1;
}

int32_t CFrame::onKeyDown(int32_t character, int32_t virtualKey, int32_t modifiers) {
    return sendKey(true, character, virtualKey, modifiers);
}

int32_t CFrame::onKeyUp(int32_t character, int32_t virtualKey, int32_t modifiers) {
    return sendKey(false, character, virtualKey, modifiers);
}

bool CFrame::onWheel(const CPoint& where, float distance) {
    mouseContext.resetState();
    return CViewContainer::onWheel(&mouseContext, where, distance);
}

bool CFrame::pollMouse(CPoint& where, int32_t& buttons) {
    platform::MouseState state;
    if (!isOpen() || platform::pollMouse(window, &state) != platform::Status::ok) {
        return false;
    }
    where = CPoint(state.x, state.y);
    buttons = state.buttons;
    return true;
}

bool CFrame::popupMenu(const CPoint& where, const platform::MenuItem* items, size_t count,
                       COptionMenu* menu) {
    if (!menu || !isOpen()) {
        return false;
    }
    Busy busy(this);
    finishPopup(-1); // one popup at a time
    if (!isOpen()) {
        return false;
    }
    menu->remember();
    popupOwner = menu;
    int32_t chosen = -1;
    if (platform::popupMenu(window, where.x, where.y, items, count, &chosen) !=
        platform::Status::ok) {
        popupOwner = nullptr;
        menu->forget();
        return false;
    }
    if (chosen != platform::kPopupPending) {
        finishPopup(chosen);
    }
    return true;
}

void CFrame::finishPopup(int32_t chosen) {
    COptionMenu* menu = popupOwner;
    if (!menu) {
        return;
    }
    popupOwner = nullptr;
    const CDrawContext::State saved = mouseContext.saveState();
    mouseContext.resetState();
    menu->popupClosed(&mouseContext, chosen);
    mouseContext.restoreState(saved);
    menu->forget();
}

// The window's calls come from the system's own dispatch (a window
// procedure) as often as from ours: nothing may unwind out of them. What
// fails for want of memory on the way comes to nothing.

void CFrame::menuClosed(int32_t chosen) {
    Busy busy(this);
    try {
        finishPopup(chosen);
    } catch (const std::exception&) {
    }
}

void CFrame::mouseDown(const platform::MouseState& state) {
    CPoint where(state.x, state.y);
    if (!isOpen() || !size.pointInside(where)) {
        return;
    }
    Busy busy(this);
    mouseContext.resetState();
    try {
        mouse(&mouseContext, where, state.buttons);
    } catch (const std::exception&) {
    }
}

void CFrame::paint(const platform::Rect& area) {
    if (!isOpen()) {
        return;
    }
    const CRect rect = CRect(area.left, area.top, area.right, area.bottom).intersection(size);
    try {
        drawArea(rect);
        presentArea(rect);
    } catch (const std::exception&) {
    }
}
