#pragma once

// Whether, with this build's C library, a bin's level never decreases as its
// squared magnitude grows: the square root, the log10 and the mapping to
// 0..1 each keep the order, so that a band's level is the level of its
// largest squared magnitude, one logarithm per band instead of one per bin.
// Rounded results keep the order only if the library's functions do over
// every float where the level is not clamped; tq_level_order_proof checks
// that over every float, and the build picks the answer.
class LevelOrder {
public:
    static bool followsPower();
};
