#pragma once

// Tells which heap blocks were released while the tracker was alive. A plain
// build watches the process's free(); under AddressSanitizer, whose allocator
// must not be wrapped, a released block is one the sanitizer has poisoned.
// Only one tracker is active at a time.
class freeTracker {
public:
    freeTracker();
    ~freeTracker();
    freeTracker(const freeTracker&) = delete;
    freeTracker& operator=(const freeTracker&) = delete;

    bool wasFreed(const void* p) const;
};
