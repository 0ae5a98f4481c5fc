#pragma once

#include <array>
#include <cstddef>
#include <utility>

// A queue of fixed capacity kept inside its owner: appending never allocates,
// and once full each new entry replaces the oldest one.
template <typename T, size_t Capacity>
class boundedQueue {
public:
    static constexpr size_t kCapacity = Capacity;

    void push(T entry) {
        if (count == Capacity) {
            slots[first] = std::move(entry);
            first = (first + 1) % Capacity;
            return;
        }
        slots[(first + count) % Capacity] = std::move(entry);
        ++count;
    }

    size_t size() const { return count; }
    bool empty() const { return count == 0; }

    // The entry at position index, the oldest being 0; index < size().
    const T& operator[](size_t index) const { return slots[(first + index) % Capacity]; }

private:
    std::array<T, Capacity> slots{};
    size_t first = 0;
    size_t count = 0;
};
