// A log10f for preloading that is faithfully rounded, as a C library's may
// be, yet does not keep the order of its arguments: of the two floats around
// the exact logarithm it takes the lower for odd bit patterns and the higher
// for even ones, so that neighbours whose logarithms share an interval come
// out swapped. The level pass must give every bin's level all the same.
#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" [[gnu::visibility("default")]] float log10f(float x) {
    const double exact = std::log10(static_cast<double>(x));
    const float nearest = static_cast<float>(exact);
    if (!std::isfinite(nearest) || static_cast<double>(nearest) == exact) {
        return nearest;
    }
    const float other =
        std::nextafter(nearest, static_cast<double>(nearest) < exact ? INFINITY : -INFINITY);
    uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof(bits));
    const bool down = (bits & 1u) != 0;
    return down == (nearest < other) ? nearest : other;
}
