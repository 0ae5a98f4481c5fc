// Counts global operator new calls while switched on.
#pragma once

#include <cstdint>

class AllocationCounter {
public:
    static void start();
    // Stops counting; returns the allocations since start().
    static int64_t stop();
};
