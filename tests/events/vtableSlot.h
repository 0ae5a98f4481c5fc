#pragma once

#include <cstddef>
#include <cstring>

// The slot of a virtual operation in its class's table, counting the virtual
// destructor as slot 0. Under the Itanium C++ ABI that g++ and clang use, a
// pointer to a virtual member holds 1 + the byte offset of its entry, and the
// destructor takes the first two entries, so slot n sits at entry n + 1.
template <typename MemberFunction>
std::ptrdiff_t vtableSlot(MemberFunction function) {
    static_assert(sizeof(MemberFunction) == 2 * sizeof(std::ptrdiff_t),
                  "Itanium member function pointer");
    std::ptrdiff_t words[2];
    std::memcpy(words, &function, sizeof words);
    return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)) - 1;
}
