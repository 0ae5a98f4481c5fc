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

void* allocate(size_t n) {
    if (counting.load()) {
        allocations.fetch_add(1);
    }
    return std::malloc(n == 0 ? 1 : n);
}

bool nothrowFails() {
    int left = nothrowCountdown.load();
    if (left <= 0) {
        return false;
    }
    nothrowCountdown.store(left - 1);
    return left == 1;
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

void failNothrowAllocation(int nth) {
    nothrowCountdown.store(nth);
}

void clearFailure() {
    nothrowCountdown.store(0);
}

} // namespace allocationHook

void* operator new(size_t n) {
    void* p = allocate(n);
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
