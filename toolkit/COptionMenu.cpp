#include "toolkit/COptionMenu.h"

#include <cstring>
#include <exception>

#include "platform/platform.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"
#include "toolkit/CMouseButtons.h"

COptionMenu::COptionMenu(const CRect& rect, CControlListener* menuListener, int32_t menuTag,
                         CBitmap* bitmap, int32_t menuStyle)
    : CParamDisplay(rect, bitmap, menuStyle) {
    listener = menuListener;
    tag = menuTag;
}

bool COptionMenu::addEntry(const char* text) {
    if (getNbEntries() >= kMaxEntries) {
        return false;
    }
    Entry entry{};
    if (text) {
        std::strncpy(entry.text, text, kMaxEntryLength);
    }
    entries.push_back(entry);
    return true;
}

const char* COptionMenu::getEntry(int32_t index) const {
    return validIndex(index) ? entries[size_t(index)].text : nullptr;
}

bool COptionMenu::isSeparator(int32_t index) const {
    return validIndex(index) && std::strcmp(entries[size_t(index)].text, "-") == 0;
}

void COptionMenu::removeAllEntry() {
    entries.clear();
    current = -1;
    value = 0.0f;
}

bool COptionMenu::setCurrent(int32_t index) {
    if (!validIndex(index)) {
        return false;
    }
    current = index;
    value = float(index);
    if (style & kMultipleCheckStyle) {
        entries[size_t(index)].checked = !entries[size_t(index)].checked;
    }
    return true;
}

void COptionMenu::setValue(float newValue) {
    setCurrent(int32_t(newValue));
}

bool COptionMenu::checkEntry(int32_t index, bool state) {
    if (!validIndex(index)) {
        return false;
    }
    entries[size_t(index)].checked = state;
    return true;
}

bool COptionMenu::isCheckEntry(int32_t index) const {
    return validIndex(index) && entries[size_t(index)].checked;
}

void COptionMenu::draw(CDrawContext* context) {
    const char* text = getEntry(current);
    drawText(context, text ? text : "");
}

void COptionMenu::mouse(CDrawContext* context, CPoint&, int32_t buttons) {
    if (!(buttons & (kLButton | kRButton)) || modifierClickTaken(context, buttons)) {
        return;
    }
    beginEdit();

    std::vector<platform::MenuItem> items;
    try {
        items.resize(entries.size());
    } catch (const std::exception&) {
        popupClosed(context, -1); // no memory for a popup: the click comes to nothing
        return;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        items[i].text = entries[i].text;
        items[i].separator = isSeparator(int32_t(i));
        items[i].checked = (style & kMultipleCheckStyle) ? entries[i].checked
                           : (style & kCheckStyle)       ? int32_t(i) == current
                                                         : false;
    }
    // The popup's corner is the control's bottom-left corner in the frame.
    const CPoint corner(context->getOffset().x + size.left, context->getOffset().y + size.bottom);
    if (!frame || !frame->popupMenu(corner, items.data(), items.size(), this)) {
        popupClosed(context, -1);
    }
}

void COptionMenu::popupClosed(CDrawContext* context, int32_t chosen) {
    if (validIndex(chosen) && !isSeparator(chosen)) {
        setValue(float(chosen));
        notifyListener(context);
    }
    if (frame) {
        frame->setFocusView(nullptr);
    }
    endEdit();
}
