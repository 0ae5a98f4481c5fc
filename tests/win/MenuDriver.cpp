#include "MenuDriver.h"

MenuDriver* MenuDriver::active = nullptr;

MenuDriver::~MenuDriver() {
    if (timer) {
        KillTimer(nullptr, timer);
    }
    if (active == this) {
        active = nullptr;
    }
}

void MenuDriver::arm() {
    active = this;
    timer = SetTimer(nullptr, 0, 20, onTimer);
}

void CALLBACK MenuDriver::onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    // Popup menus are windows of the system class "#32768".
    HWND popup = FindWindowA("#32768", nullptr);
    if (!active || !popup || !IsWindowVisible(popup)) {
        return;
    }
    MenuDriver& d = *active;
    KillTimer(nullptr, id);
    d.timer = 0;
    active = nullptr;
    d.seen = true;
    GetWindowRect(popup, &d.where);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        GetMenuStringA(menu, UINT(i), text, sizeof(text), MF_BYPOSITION);
        d.texts.push_back(text);
        d.states.push_back(GetMenuState(menu, UINT(i), MF_BYPOSITION));
        d.ids.push_back(GetMenuItemID(menu, i));
    }
    for (WPARAM key : d.keys) {
        PostMessageA(popup, WM_KEYDOWN, key, 0);
    }
}
