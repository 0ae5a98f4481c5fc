// A popup menu on X11: an override-redirect window at root coordinates,
// drawn by us (entries, separators, check marks, the entry under the
// pointer highlighted) with the same text as the editor. It holds the
// pointer and the keyboard while it is open, but never the caller's
// thread: the owner window hands it the events it reads in its idle, and
// it answers whether they decided anything. A click on an entry chooses
// it; a click outside or Escape dismisses the menu.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/x11/X11Image.h"
#include "platform/x11/XlibHeaders.h"

class X11Window;

class X11PopupMenu {
public:
    enum class Outcome { waiting, chosen, dismissed };

    // Copies the items.
    X11PopupMenu(X11Window& owner, const platform::MenuItem* items, size_t count);
    // Takes the window down and lets go of the pointer and the keyboard.
    ~X11PopupMenu();
    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    // Maps the menu with its top-left corner at (x, y) of the owner window
    // and asks for the pointer and the keyboard; false if it cannot show.
    bool show(int32_t x, int32_t y);
    // Asks again for what another client held a moment ago; never waits.
    void grabInput();
    // Whether `event` is the menu's: anything on its window, and the
    // pointer on the owner's window (which may get it before the grab).
    bool takes(const XEvent& event) const;
    Outcome handle(XEvent& event);
    // The chosen index once handle() answered `chosen`.
    int32_t choice() const { return chosen; }

private:
    Outcome pointer(int type, int32_t rootX, int32_t rootY, unsigned int state);
    bool choosable(int32_t index) const;
    void highlight(int32_t index);
    void draw();
    void drawCheckMark(int32_t centreX, int32_t centreY, uint32_t colour);
    void fill(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour);
    // A 1x length at the owner window's scale.
    int32_t px(int32_t length) const { return platform::scaledLength(length, scale); }

    X11Window& owner;
    Display* display;
    std::vector<std::string> texts;
    std::vector<platform::MenuItem> items; // texts point into `texts`
    size_t count;
    int32_t scale; // percent
    Window window = 0;
    GC gc = nullptr;
    X11Image image;
    std::vector<uint32_t> pixels;
    int32_t left = 0; // root coordinates of the menu's corner
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t hovered = -1;
    int32_t chosen = -1;
    bool armed = false; // a press (or a drag with a button held) inside the menu
    bool pointerGrabbed = false;
    bool keyboardGrabbed = false;
};
