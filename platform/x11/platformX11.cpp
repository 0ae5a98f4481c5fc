// The platform contract on X11: a child window of the host's window with a
// display connection of its own (X11Window), popup menus drawn by the layer
// (X11PopupMenu), text from FreeType with the font fontconfig gives for
// Arial, the embedded bitmaps (embeddedBitmaps.cpp), the monotonic clock and xdg-open.
#include "platform/platform.h"

#include <atomic>
#include <cerrno>
#include <ctime>

#include "platform/freetype/GlyphCache.h"
#include "platform/statusGuard.h"
#include "platform/x11/UrlLauncher.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11Fonts.h"
#include "platform/x11/X11Window.h"

namespace {

std::atomic<void*> loadedModule{nullptr};

} // namespace

namespace platform {

Status createWindow(void* parent, int32_t width, int32_t height, WindowClient* client,
                    void** window) {
    if (!window) {
        return Status::invalidArgument;
    }
    X11Window* created = nullptr;
    const Status status =
        guarded([&] { return X11Window::create(parent, width, height, client, &created); });
    *window = created;
    return status;
}

Status destroyWindow(void* window) {
    X11Window* x11 = X11Window::fromHandle(window);
    if (!x11) {
        return Status::invalidArgument;
    }
    delete x11;
    return Status::ok;
}

Status nativeWindow(void* window, uintptr_t* id) {
    X11Window* x11 = X11Window::fromHandle(window);
    if (!x11 || !id) {
        return Status::invalidArgument;
    }
    *id = static_cast<uintptr_t>(x11->id());
    return Status::ok;
}

Status present(void* window, const Surface& surface, const Rect& area) {
    X11Window* x11 = X11Window::fromHandle(window);
    return x11 ? x11->present(surface, area) : Status::invalidArgument;
}

Status pumpEvents(void* window) {
    X11Window* x11 = X11Window::fromHandle(window);
    if (!x11) {
        return Status::invalidArgument;
    }
    UrlLauncher::reap();
    x11->pumpEvents();
    return Status::ok;
}

Status pollMouse(void* window, MouseState* state) {
    X11Window* x11 = X11Window::fromHandle(window);
    if (!x11 || !state) {
        return Status::invalidArgument;
    }
    x11->pollMouse(state);
    return Status::ok;
}

Status popupMenu(void* window, int32_t x, int32_t y, const MenuItem* items, size_t count,
                 int32_t* chosen) {
    X11Window* x11 = X11Window::fromHandle(window);
    if (!x11 || !chosen || (!items && count > 0)) {
        return Status::invalidArgument;
    }
    *chosen = -1;
    return guarded([&] {
        if (!x11->popupMenu(x, y, items, count)) {
            return Status::failed;
        }
        *chosen = kPopupPending;
        return Status::ok;
    });
}

Status drawText(const Surface& surface, const TextRun& run) {
    return X11Fonts::glyphs().drawText(surface, run);
}

Status textWidth(int32_t font, const char* text, int32_t* width, int32_t scale) {
    return X11Fonts::glyphs().textWidth(font, text, width, scale);
}

Status desktopScale(void*, float* factor) {
    // One setting per display: the parent's screen does not change it.
    return guarded([&] { return X11Desktop::scale(factor); });
}

Status setWindowScale(void* window, int32_t scale) {
    X11Window* x11 = X11Window::fromHandle(window);
    if (!x11 || scaleIndex(scale) < 0) {
        return Status::invalidArgument;
    }
    x11->setScale(scale);
    return Status::ok;
}

uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Milliseconds, wrapping like any 32-bit tick count.
    const uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
    return uint32_t(ms);
}

void sleep(uint32_t milliseconds) {
    timespec left{time_t(milliseconds / 1000u), long(milliseconds % 1000u) * 1000000L};
    // A signal for the host's thread does not cut the pause short.
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

Status openUrl(const char* url) {
    return UrlLauncher::open(url);
}

Status oleInitialize() {
    return Status::ok;
}

void oleUninitialize() {}

void setModuleHandle(void* handle) {
    loadedModule.store(handle, std::memory_order_relaxed);
}

void* moduleHandle() {
    return loadedModule.load(std::memory_order_relaxed);
}

} // namespace platform
