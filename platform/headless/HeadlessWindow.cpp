#include "platform/headless/HeadlessWindow.h"

#include <algorithm>

#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/PngCodec.h"

namespace {

// Every live window, so that a stale or foreign handle is refused.
std::vector<HeadlessWindow*>& liveWindows() {
    static std::vector<HeadlessWindow*> list;
    return list;
}

} // namespace

HeadlessWindow::HeadlessWindow() {
    liveWindows().push_back(this);
}

HeadlessWindow::~HeadlessWindow() {
    auto& live = liveWindows();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

HeadlessWindow* HeadlessWindow::fromHandle(void* handle) {
    const auto& live = liveWindows();
    const auto it = std::find(live.begin(), live.end(), static_cast<HeadlessWindow*>(handle));
    return it == live.end() ? nullptr : *it;
}

platform::Status HeadlessWindow::attach(platform::WindowClient* child, int32_t width,
                                        int32_t height) {
    if (!child || width <= 0 || height <= 0) {
        return platform::Status::invalidArgument;
    }
    if (client) {
        return platform::Status::busy;
    }
    if (width != w || height != h) {
        shown.assign(size_t(width) * size_t(height), 0xFF000000u);
        w = width;
        h = height;
    }
    childScale = 100;
    client = child; // only once nothing can fail
    return platform::Status::ok;
}

void HeadlessWindow::detach() {
    // The last picture stays readable after the child has gone.
    client = nullptr;
    popupPending = false;
}

platform::Status HeadlessWindow::present(const platform::Surface& surface,
                                         const platform::Rect& area) {
    if (!client || !surface.pixels || surface.width != w || surface.height != h) {
        return platform::Status::invalidArgument;
    }
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, w);
    const int32_t bottom = std::min(area.bottom, h);
    for (int32_t y = top; y < bottom; ++y) {
        const size_t row = size_t(y) * size_t(w);
        std::copy(surface.pixels + row + size_t(left), surface.pixels + row + size_t(right),
                  shown.begin() + ptrdiff_t(row) + left);
    }
    ++presents;
    return platform::Status::ok;
}

void HeadlessWindow::injectMouseDown(int32_t x, int32_t y, int32_t buttons, uint32_t advanceMs) {
    events.push_back(Event{Kind::down, x, y, buttons, advanceMs});
}

void HeadlessWindow::injectMouseMove(int32_t x, int32_t y, uint32_t advanceMs) {
    events.push_back(Event{Kind::move, x, y, 0, advanceMs});
}

void HeadlessWindow::injectMouseUp(int32_t x, int32_t y, uint32_t advanceMs) {
    events.push_back(Event{Kind::up, x, y, 0, advanceMs});
}

bool HeadlessWindow::take(Event* event) {
    if (events.empty()) {
        return false;
    }
    *event = events.front();
    events.pop_front();
    mouse.x = event->x;
    mouse.y = event->y;
    if (event->kind == Kind::down) {
        mouse.buttons = event->buttons;
    } else if (event->kind == Kind::up) {
        mouse.buttons = 0;
    }
    HeadlessSystem::advanceTicks(event->advanceMs);
    return true;
}

size_t HeadlessWindow::dispatchEvents() {
    size_t taken = 0;
    Event event{};
    while (take(&event)) {
        ++taken;
        if (!client) {
            continue;
        }
        switch (event.kind) {
        case Kind::down:
            client->mouseDown(mouse);
            break;
        case Kind::move:
            client->mouseMoved(mouse);
            break;
        case Kind::up:
            client->mouseUp(mouse);
            break;
        }
    }
    deliverPopup();
    return taken;
}

void HeadlessWindow::click(int32_t x, int32_t y, int32_t buttons) {
    injectMouseDown(x, y, buttons);
    injectMouseUp(x, y);
    dispatchEvents();
}

void HeadlessWindow::poll(platform::MouseState* state) {
    Event event{};
    if (!take(&event)) {
        mouse.buttons = 0;
    }
    *state = mouse;
}

void HeadlessWindow::scriptPopupChoice(int32_t index) {
    answers.push_back(index);
}

void HeadlessWindow::scriptPopupDismiss() {
    answers.push_back(-1);
}

void HeadlessWindow::popup(int32_t x, int32_t y, const platform::MenuItem* items, size_t count) {
    PopupRecord record;
    record.x = x;
    record.y = y;
    for (size_t i = 0; i < count; ++i) {
        record.entries.push_back(
            PopupEntry{items[i].text ? items[i].text : "", items[i].separator, items[i].checked});
    }
    int32_t answer = -1;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    if (answer < 0 || size_t(answer) >= count || items[answer].separator) {
        answer = -1;
    }
    record.answer = answer;
    popupLog.push_back(std::move(record));
    popupPending = true;
}

void HeadlessWindow::deliverPopup() {
    if (!popupPending || !client) {
        return;
    }
    popupPending = false;
    client->menuClosed(popupLog.back().answer);
}

uint32_t HeadlessWindow::pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return 0;
    }
    return shown[size_t(y) * size_t(w) + size_t(x)];
}

platform::Status HeadlessWindow::writePng(const std::string& path) const {
    if (shown.empty()) {
        return platform::Status::invalidArgument;
    }
    return PngCodec::write(path, w, h, shown.data());
}
