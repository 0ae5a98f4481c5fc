// The desktop window on X11 (X11DesktopWindow): a top-level window whose X
// id is the editor's parent.
#include "platform/desktop.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/statusGuard.h"
#include "platform/x11/X11DesktopWindow.h"

namespace {

std::mutex& liveMutex() {
    static std::mutex m;
    return m;
}

std::vector<X11DesktopWindow*>& liveWindows() {
    static std::vector<X11DesktopWindow*> list;
    return list;
}

X11DesktopWindow* fromHandle(void* handle) {
    std::lock_guard<std::mutex> lock(liveMutex());
    const auto& live = liveWindows();
    const auto it = std::find(live.begin(), live.end(), static_cast<X11DesktopWindow*>(handle));
    return it == live.end() ? nullptr : *it;
}

} // namespace

namespace platform {

Status createDesktopWindow(const DesktopWindowSetup& setup, void** window) {
    if (!window) {
        return Status::invalidArgument;
    }
    *window = nullptr;
    return guarded([&] {
        X11DesktopWindow* created = nullptr;
        const Status status = X11DesktopWindow::create(setup, &created);
        if (status != Status::ok) {
            return status;
        }
        std::unique_ptr<X11DesktopWindow> owned(created);
        std::lock_guard<std::mutex> lock(liveMutex());
        liveWindows().push_back(created);
        *window = owned.release();
        return Status::ok;
    });
}

void* desktopWindowParent(void* window) {
    X11DesktopWindow* x11 = fromHandle(window);
    return x11 ? reinterpret_cast<void*>(uintptr_t(x11->id())) : nullptr;
}

Status showDesktopWindow(void* window) {
    X11DesktopWindow* x11 = fromHandle(window);
    return x11 ? x11->show() : Status::invalidArgument;
}

Status setDesktopWindowTitle(void* window, const char* title) {
    X11DesktopWindow* x11 = fromHandle(window);
    return x11 ? x11->setTitle(title) : Status::invalidArgument;
}

Status pumpDesktopWindow(void* window, bool* closeRequested) {
    X11DesktopWindow* x11 = fromHandle(window);
    if (!x11 || !closeRequested) {
        return Status::invalidArgument;
    }
    *closeRequested = x11->pump();
    return x11->connected() ? Status::ok : Status::failed;
}

Status destroyDesktopWindow(void* window) {
    X11DesktopWindow* x11 = fromHandle(window);
    if (!x11) {
        return Status::invalidArgument;
    }
    {
        std::lock_guard<std::mutex> lock(liveMutex());
        auto& live = liveWindows();
        live.erase(std::remove(live.begin(), live.end(), x11), live.end());
    }
    delete x11;
    return Status::ok;
}

} // namespace platform
