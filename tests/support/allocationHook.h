#pragma once

#include <cstddef>

// Global operator new replacement for the test program that links it:
// counts allocations inside a window and can make a chosen nothrow
// allocation fail.
namespace allocationHook {

void startCounting();
size_t stopCounting();
// The nth nothrow allocation from now (1 = the next one) returns null.
void failNothrowAllocation(int nth);
void clearFailure();

} // namespace allocationHook
