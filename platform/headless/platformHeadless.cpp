// The platform contract on no display: windows are HeadlessWindow objects,
// time is HeadlessSystem's fake clock, text is GlyphCache's and bitmaps are
// the embedded packed resources (embeddedBitmaps.cpp).
#include "platform/platform.h"

#include "platform/freetype/GlyphCache.h"
#include "platform/headless/HeadlessSystem.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/statusGuard.h"

namespace {

// The one glyph cache of the layer, filled at first use.
const GlyphCache& glyphs() {
    static const GlyphCache cache(TQ_HEADLESS_FONT_FILE);
    return cache;
}

} // namespace

namespace platform {

Status createWindow(void* parent, int32_t width, int32_t height, WindowClient* client,
                    void** window) {
    HeadlessWindow* host = HeadlessWindow::fromHandle(parent);
    if (!host || !window) {
        return Status::invalidArgument;
    }
    const Status status = guarded([&] {
        // Glyphs are rendered now, so that drawing later never allocates.
        glyphs();
        return host->attach(client, width, height);
    });
    *window = status == Status::ok ? host : nullptr;
    return status;
}

Status destroyWindow(void* window) {
    HeadlessWindow* host = HeadlessWindow::fromHandle(window);
    if (!host || !host->hasChild()) {
        return Status::invalidArgument;
    }
    host->detach();
    return Status::ok;
}

Status present(void* window, const Surface& surface, const Rect& area) {
    HeadlessWindow* host = HeadlessWindow::fromHandle(window);
    return host ? host->present(surface, area) : Status::invalidArgument;
}

Status nativeWindow(void* window, uintptr_t* id) {
    if (!HeadlessWindow::fromHandle(window) || !id) {
        return Status::invalidArgument;
    }
    *id = reinterpret_cast<uintptr_t>(window);
    return Status::ok;
}

Status pumpEvents(void* window) {
    HeadlessWindow* host = HeadlessWindow::fromHandle(window);
    if (!host) {
        return Status::invalidArgument;
    }
    host->deliverPopup();
    return Status::ok;
}

Status pollMouse(void* window, MouseState* state) {
    HeadlessWindow* host = HeadlessWindow::fromHandle(window);
    if (!host || !state) {
        return Status::invalidArgument;
    }
    host->poll(state);
    return Status::ok;
}

Status popupMenu(void* window, int32_t x, int32_t y, const MenuItem* items, size_t count,
                 int32_t* chosen) {
    HeadlessWindow* host = HeadlessWindow::fromHandle(window);
    if (!host || !chosen || (!items && count > 0)) {
        return Status::invalidArgument;
    }
    const Status status = guarded([&] {
        host->popup(x, y, items, count);
        return Status::ok;
    });
    *chosen = status == Status::ok ? kPopupPending : -1;
    return status;
}

Status drawText(const Surface& surface, const TextRun& run) {
    return glyphs().drawText(surface, run);
}

Status textWidth(int32_t font, const char* text, int32_t* width, int32_t scale) {
    return glyphs().textWidth(font, text, width, scale);
}

Status desktopScale(void*, float* factor) {
    if (!factor) {
        return Status::invalidArgument;
    }
    const float scripted = HeadlessSystem::desktopScale();
    if (!(scripted > 0.0f)) {
        return Status::notFound;
    }
    *factor = scripted;
    return Status::ok;
}

Status setWindowScale(void* window, int32_t scale) {
    HeadlessWindow* host = HeadlessWindow::fromHandle(window);
    if (!host || platform::scaleIndex(scale) < 0) {
        return Status::invalidArgument;
    }
    host->setScale(scale);
    return Status::ok;
}

uint32_t tickCount() {
    return HeadlessSystem::ticks();
}

void sleep(uint32_t milliseconds) {
    // Simulated time: sleeping is the clock moving on.
    HeadlessSystem::advanceTicks(milliseconds);
}

Status openUrl(const char* url) {
    if (!url || !*url) {
        return Status::invalidArgument;
    }
    return guarded([url] {
        HeadlessSystem::recordUrl(url);
        return Status::ok;
    });
}

Status oleInitialize() {
    HeadlessSystem::oleEnter();
    return Status::ok;
}

void oleUninitialize() {
    HeadlessSystem::oleLeave();
}

void setModuleHandle(void* handle) {
    HeadlessSystem::setModule(handle);
}

void* moduleHandle() {
    return HeadlessSystem::module();
}

} // namespace platform
