#pragma once

#include "analysis/MEftFrmFft.h"
#include "analysis/MEftWinBase.h"

#include <cstdint>

// Windowed FFT analyser: a Hamming window and an MEftFrmFft transform, created
// on the first prepare and kept for the analyser's life.
class MEftWinFft : public MEftWinBase {
public:
    MEftWinFft();
    ~MEftWinFft() override;

    // Creates the transform if there is none (kObjectNotAllocated when it
    // cannot be allocated), then prepares as the capturing analyser does.
    int32_t prepare() override;
    // Symmetric Hamming window over length entries; a single entry is 1.
    void makeWindow(int32_t length, int32_t hop) override;

    // The transform this analyser created, or null before prepare.
    const MEftFrmFft* getFft() const;

protected:
    MEftFrmFft* fft();
};
