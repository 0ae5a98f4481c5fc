#pragma once

// Whether the C library the plug-in runs with keeps the order of the
// squared magnitudes through the level: the square root, the log10 and the
// mapping to 0..1 each never decrease, so that a band's level is the level
// of its largest squared magnitude, one logarithm per band instead of one per
// bin. Rounded results keep the order only if the library's log10f does over
// every float where the level is not clamped; tq_level_order_proof checks
// that over every float. The plug-in resolves log10f at load time, so the
// answer is about the library it finds then, not the one it was built with:
// a release or a log10f the proof has not run on gets one logarithm per bin.
class LevelOrder {
public:
    // Decided on the first call, which may look up the library (not on the
    // audio thread: the core asks once, when it is built).
    static bool followsPower();
};
