#include "tests/events/freeTracker.h"

#if defined(__SANITIZE_ADDRESS__)
#define TQ_TRACK_WITH_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TQ_TRACK_WITH_ASAN 1
#endif
#endif

#if defined(TQ_TRACK_WITH_ASAN)

#include <sanitizer/asan_interface.h>

freeTracker::freeTracker() = default;

freeTracker::~freeTracker() = default;

bool freeTracker::wasFreed(const void* p) const {
    // Released blocks wait in the sanitizer's quarantine, poisoned.
    return __asan_address_is_poisoned(p) != 0;
}

#else

#include <dlfcn.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace {

constexpr size_t capacity = 4096;
std::atomic<bool> tracking{false};
std::atomic<size_t> freedCount{0};
std::atomic<uintptr_t> freedBlocks[capacity];

using freeFunction = void (*)(void*);
std::atomic<freeFunction> nextFree{nullptr};
std::atomic<bool> resolving{false};

} // namespace

// Replaces free for the whole test program and forwards to the C library's.
extern "C" void free(void* p) {
    freeFunction next = nextFree.load();
    if (next == nullptr) {
        if (resolving.exchange(true)) {
            return; // a free from inside dlsym itself: leak it
        }
        next = reinterpret_cast<freeFunction>(dlsym(RTLD_NEXT, "free"));
        nextFree.store(next);
        resolving.store(false);
    }
    if (p != nullptr && tracking.load()) {
        const size_t slot = freedCount.fetch_add(1);
        if (slot < capacity) {
            freedBlocks[slot].store(reinterpret_cast<uintptr_t>(p));
        }
    }
    next(p);
}

freeTracker::freeTracker() {
    freedCount.store(0);
    tracking.store(true);
}

freeTracker::~freeTracker() {
    tracking.store(false);
}

bool freeTracker::wasFreed(const void* p) const {
    const size_t n = freedCount.load() < capacity ? freedCount.load() : capacity;
    for (size_t i = 0; i < n; ++i) {
        if (freedBlocks[i].load() == reinterpret_cast<uintptr_t>(p)) {
            return true;
        }
    }
    return false;
}

#endif
