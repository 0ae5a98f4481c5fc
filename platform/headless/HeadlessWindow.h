// The parent window of the headless layer, owned by a test or the
// command-line host. The plug-in makes its child window in it; we keep what
// the child presents, feed it mouse input, answer its popup menus from a
// script and remember what they offered. A popup's answer reaches the
// child after the events in hand, as a user's choice would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

class HeadlessWindow {
public:
    struct PopupEntry {
        std::string text;
        bool separator = false;
        bool checked = false;
    };
    struct PopupRecord {
        int32_t x = 0; // top-left corner, window coordinates
        int32_t y = 0;
        std::vector<PopupEntry> entries;
        int32_t answer = -1;
    };

    HeadlessWindow();
    ~HeadlessWindow();
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // The handle to give the plug-in as its parent window.
    void* handle() { return this; }
    bool hasChild() const { return client != nullptr; }
    int32_t width() const { return w; }
    int32_t height() const { return h; }
    // The scale (percent) the child says it draws at.
    int32_t scale() const { return childScale; }

    // Mouse input is queued and delivered by dispatchEvents(). A control that
    // tracks the mouse takes the following events itself, one per pass;
    // once none are left the buttons read released. `advanceMs` moves the
    // fake clock when the event is taken.
    void injectMouseDown(int32_t x, int32_t y, int32_t buttons = platform::kMouseLeft,
                         uint32_t advanceMs = 0);
    void injectMouseMove(int32_t x, int32_t y, uint32_t advanceMs = 0);
    void injectMouseUp(int32_t x, int32_t y, uint32_t advanceMs = 0);
    size_t pendingEvents() const { return events.size(); }
    // Delivers queued events to the child, then the answer of a popup shown
    // meanwhile; returns how many events were taken.
    size_t dispatchEvents();
    // Down and up at one place, delivered.
    void click(int32_t x, int32_t y, int32_t buttons = platform::kMouseLeft);

    // The next popups' answers, in order. With none left a popup is
    // dismissed; an index that cannot be chosen dismisses it too.
    void scriptPopupChoice(int32_t index);
    void scriptPopupDismiss();
    const std::vector<PopupRecord>& popups() const { return popupLog; }

    // What the window shows: the pixels presented so far (0 outside).
    uint32_t pixel(int32_t x, int32_t y) const;
    const std::vector<uint32_t>& pixels() const { return shown; }
    size_t presentCount() const { return presents; }
    platform::Status writePng(const std::string& path) const;

    // The platform layer's side; not for tests.
    static HeadlessWindow* fromHandle(void* handle);
    platform::Status attach(platform::WindowClient* child, int32_t width, int32_t height);
    void detach();
    void setScale(int32_t scale) { childScale = scale; }
    platform::Status present(const platform::Surface& surface, const platform::Rect& area);
    void poll(platform::MouseState* state);
    // Records the popup and keeps its scripted answer for the child.
    void popup(int32_t x, int32_t y, const platform::MenuItem* items, size_t count);
    // Hands the child the answer of the popup shown last, if it has not had it.
    void deliverPopup();

private:
    enum class Kind { down, move, up };
    struct Event {
        Kind kind;
        int32_t x;
        int32_t y;
        int32_t buttons;
        uint32_t advanceMs;
    };
    // Takes the next event into `mouse`; false when none is queued.
    bool take(Event* event);

    platform::WindowClient* client = nullptr;
    int32_t w = 0;
    int32_t h = 0;
    int32_t childScale = 100;
    std::vector<uint32_t> shown;
    size_t presents = 0;
    std::deque<Event> events;
    platform::MouseState mouse;
    std::deque<int32_t> answers;
    std::vector<PopupRecord> popupLog;
    bool popupPending = false;
};
