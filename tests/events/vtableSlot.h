#pragma once

#include <cstddef>
#include <cstring>

// The position of a virtual operation in its class's table of virtual
// operations, under the Itanium C++ ABI that g++ and clang use: a pointer to a
// virtual member holds 1 + the byte offset of its entry. A virtual destructor
// takes the first two entries, so the operation the design calls slot n
// (destructor = slot 0) sits at position n + 1.
template <typename MemberFunction>
std::ptrdiff_t vtableSlot(MemberFunction function) {
    static_assert(sizeof(MemberFunction) == 2 * sizeof(std::ptrdiff_t),
                  "Itanium member function pointer");
    std::ptrdiff_t words[2];
    std::memcpy(words, &function, sizeof words);
    return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)) - 1;
}
