#pragma once

#include <cstddef>

// Global operator new replacement for the test program that links it:
// counts allocations inside a window and can make a chosen allocation fail.
namespace allocationHook {

void startCounting();
size_t stopCounting();
// Counts one allocation made outside operator new: mallocHook.cpp, linked
// as well, reports malloc, calloc and realloc here, so that an operator new
// counts twice, once itself and once for the malloc beneath it.
void noteAllocation();
// The nth nothrow allocation from now (1 = the next one) returns null.
void failNothrowAllocation(int nth);
// The nth allocation of either kind from now fails: a throwing one throws
// std::bad_alloc, a nothrow one returns null.
void failAllocation(int nth);
// Whether a failure asked for has not happened yet.
bool failurePending();
void clearFailure();

} // namespace allocationHook
