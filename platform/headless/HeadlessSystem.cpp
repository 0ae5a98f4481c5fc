#include "platform/headless/HeadlessSystem.h"

#include <atomic>

namespace {

std::atomic<uint32_t> clockMs{0};
std::atomic<int32_t> oleCount{0};
std::atomic<void*> moduleHandle{nullptr};
std::atomic<float> desktopFactor{0.0f};

std::vector<std::string>& urls() {
    static std::vector<std::string> list;
    return list;
}

} // namespace

uint32_t HeadlessSystem::ticks() {
    return clockMs.load(std::memory_order_relaxed);
}

void HeadlessSystem::setTicks(uint32_t milliseconds) {
    clockMs.store(milliseconds, std::memory_order_relaxed);
}

void HeadlessSystem::advanceTicks(uint32_t milliseconds) {
    clockMs.fetch_add(milliseconds, std::memory_order_relaxed);
}

void HeadlessSystem::recordUrl(const char* url) {
    urls().emplace_back(url);
}

const std::vector<std::string>& HeadlessSystem::openedUrls() {
    return urls();
}

void HeadlessSystem::oleEnter() {
    oleCount.fetch_add(1, std::memory_order_relaxed);
}

void HeadlessSystem::oleLeave() {
    int32_t n = oleCount.load(std::memory_order_relaxed);
    while (n > 0 && !oleCount.compare_exchange_weak(n, n - 1, std::memory_order_relaxed)) {
    }
}

int32_t HeadlessSystem::oleDepth() {
    return oleCount.load(std::memory_order_relaxed);
}

void HeadlessSystem::setModule(void* handle) {
    moduleHandle.store(handle, std::memory_order_relaxed);
}

void* HeadlessSystem::module() {
    return moduleHandle.load(std::memory_order_relaxed);
}

void HeadlessSystem::setDesktopScale(float factor) {
    desktopFactor.store(factor, std::memory_order_relaxed);
}

float HeadlessSystem::desktopScale() {
    return desktopFactor.load(std::memory_order_relaxed);
}

void HeadlessSystem::reset() {
    desktopFactor.store(0.0f, std::memory_order_relaxed);
    clockMs.store(0, std::memory_order_relaxed);
    oleCount.store(0, std::memory_order_relaxed);
    urls().clear();
}
