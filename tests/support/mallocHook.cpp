// Replaces the C allocation functions of the program that links it with
// glibc's own plus a count in allocationHook, so that what the code under
// test allocates outside operator new counts too. Not for the sanitizers'
// builds: they own malloc.
#include <cstddef>

#include "tests/support/allocationHook.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* ptr, size_t size);

void* malloc(size_t size) {
    allocationHook::noteAllocation();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    allocationHook::noteAllocation();
    return __libc_calloc(count, size);
}

void* realloc(void* ptr, size_t size) {
    allocationHook::noteAllocation();
    return __libc_realloc(ptr, size);
}
}
