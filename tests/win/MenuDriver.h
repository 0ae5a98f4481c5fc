// Stands in for the user at a native popup menu: a thread timer fires
// inside TrackPopupMenu's modal loop, reads the open menu (its place, texts,
// states and identifiers) and then presses the given keys.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class MenuDriver {
public:
    explicit MenuDriver(std::vector<WPARAM> keysToPress) : keys(std::move(keysToPress)) {}
    ~MenuDriver();
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

    // From now on the next popup of this thread is driven.
    void arm();

    bool seen = false;
    RECT where{};
    std::vector<std::string> texts;
    std::vector<UINT> states;
    std::vector<UINT> ids;

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD);
    static MenuDriver* active;

    std::vector<WPARAM> keys;
    UINT_PTR timer = 0;
};
