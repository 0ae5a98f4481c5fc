#pragma once

#include "analysis/MEftFrmBase.h"

#include <cstdint>
#include <memory>

// In-place radix-2 FFT in single precision with one twiddle entry per stage.
// Work arrays re/im hold size entries; the twiddle tables hold log2Size.
// Nothing is allocated while transforming.
class MEftFrmFft : public MEftFrmBase {
public:
    explicit MEftFrmFft(const MEftWinBase* owner);
    ~MEftFrmFft() override;

    // Sizes the arrays and fills the twiddle tables; 0, 22 or 13.
    int32_t prepare() override;
    // n must be a power of two (1 included): 0, 22 (not a power of two) or
    // 13 (an array could not be allocated).
    int32_t setSize(int32_t n) override;
    // Windows the owner's frame (frame length samples) into re, clears im and
    // transforms; the result is left in re/im. Does nothing unless ready.
    void transformFrame(const float* frame, float* spectrum) override;
    // X[k] = sum x[m] e^(-2 pi i k m / N) over re/im of length size, unscaled.
    virtual void fftInPlace();
    // Inverse by conjugation, scaled by 1/N.
    virtual void inverseInPlace();

    // True when every array exists for the current size.
    bool isReady() const;
    int32_t getLog2Size() const { return log2Size; }
    const float* getRe() const { return re.get(); }
    const float* getIm() const { return im.get(); }
    float* getRe() { return re.get(); }
    float* getIm() { return im.get(); }
    const float* getCosTable() const { return cosTable.get(); }
    const float* getSinTable() const { return sinTable.get(); }

private:
    void fillTwiddles();

    int32_t log2Size;
    std::unique_ptr<float[]> re;
    std::unique_ptr<float[]> im;
    std::unique_ptr<float[]> cosTable;
    std::unique_ptr<float[]> sinTable;
    // Entries each array really holds: a failed resize may leave arrays of
    // different lengths behind, and none may be used beyond its own.
    int32_t reLength;
    int32_t imLength;
    int32_t cosLength;
    int32_t sinLength;
};
