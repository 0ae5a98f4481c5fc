// The replacement operators live alone here, so that no call to them is
// inlined and a memory checker can still pair every new with its delete.
#include "tests/support/allocationHook.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<size_t> allocations{0};
std::atomic<int> nothrowCountdown{0};
std::atomic<int> anyCountdown{0};

void* allocate(size_t n) {
    allocationHook::noteAllocation();
    return std::malloc(n == 0 ? 1 : n);
}

bool countdownEnds(std::atomic<int>& countdown) {
    int left = countdown.load();
    if (left <= 0) {
        return false;
    }
    countdown.store(left - 1);
    return left == 1;
}

// Both countdowns move on every nothrow allocation.
bool nothrowFails() {
    const bool nothrowEnds = countdownEnds(nothrowCountdown);
    const bool anyEnds = countdownEnds(anyCountdown);
    return nothrowEnds || anyEnds;
}

} // namespace

namespace allocationHook {

void startCounting() {
    allocations.store(0);
    counting.store(true);
}

size_t stopCounting() {
    counting.store(false);
    return allocations.load();
}

void noteAllocation() {
    if (counting.load()) {
        allocations.fetch_add(1);
    }
}

void failNothrowAllocation(int nth) {
    nothrowCountdown.store(nth);
}

void failAllocation(int nth) {
    anyCountdown.store(nth);
}

bool failurePending() {
    return nothrowCountdown.load() > 0 || anyCountdown.load() > 0;
}

void clearFailure() {
    nothrowCountdown.store(0);
    anyCountdown.store(0);
}

} // namespace allocationHook

void* operator new(size_t n) {
    void* p = countdownEnds(anyCountdown) ? nullptr : allocate(n);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

void* operator new[](size_t n) {
    return operator new(n);
}

void* operator new(size_t n, const std::nothrow_t&) noexcept {
    return nothrowFails() ? nullptr : allocate(n);
}

void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    return nothrowFails() ? nullptr : allocate(n);
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
