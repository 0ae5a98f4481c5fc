#pragma once

#include "analysis/MEftFrmBase.h"

#include <cstdint>
#include <memory>

// In-place radix-2 FFT in single precision with one twiddle entry per stage.
// Work arrays re/im hold size entries; the twiddle tables hold log2Size.
// Nothing is allocated while transforming.
//
// For speed the rotating factors u = u * w of every stage are computed once,
// by that same recurrence in float, into one table per stage; the butterflies
// then read them in order and run over contiguous runs of both halves of a
// group, which vectorises. The bit reversal moves the values into a second
// pair of arrays by a table made once per size (by 8 x 8 register
// transposes where the processor has 256-bit vectors), and the first two
// stages bring them back. A real frame (transformFrame) skips the products of
// its zero imaginary parts in the first two stages and runs the early stages
// before the bit reversal, on the values in their natural order, where a
// stage's factor is the same over long runs. Every value, zero signs
// included, is the same float as the plain radix-2 transform gives.
class MEftFrmFft : public MEftFrmBase {
public:
    explicit MEftFrmFft(const MEftWinBase* owner);
    ~MEftFrmFft() override;

    // Sizes the arrays and fills the twiddle tables: MEftBase::kSuccess,
    // kOutOfRange or kArrayNotAllocated.
    int32_t prepare() override;
    // n must be a power of two (1 included): MEftBase::kSuccess, kOutOfRange
    // (not a power of two) or kArrayNotAllocated.
    int32_t setSize(int32_t n) override;
    // Windows the owner's frame (frame length samples) into re, clears im and
    // transforms; the result is left in re/im. Does nothing unless ready.
    // Runs the butterflies itself, without fftInPlace, unless the frame is
    // shorter than 4 or a windowed sample is 2^126 or more in magnitude, an
    // infinity or NaN.
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
    // Butterflies in 256-bit vectors where the processor has them (the
    // default), or in the target's baseline vectors: the same bits either
    // way. Returns whether wide vectors are now in use.
    bool useWideVectors(bool on);
    bool usesWideVectors() const { return wide; }
    // The rotating factors of stage L (1..log2Size): 2^(L-1) entries each.
    const float* getStageCos(int32_t stage) const;
    const float* getStageSin(int32_t stage) const;

private:
    // The per-stage factors and the tables they grow from.
    void fillTwiddles();
    void fillReversal();

    int32_t log2Size;
    std::unique_ptr<float[]> re;
    std::unique_ptr<float[]> im;
    std::unique_ptr<float[]> cosTable;
    std::unique_ptr<float[]> sinTable;
    // Stage L's factors start at entry 2^(L-1) - 1: size - 1 entries in all.
    std::unique_ptr<float[]> stageCos;
    std::unique_ptr<float[]> stageSin;
    // reversal[i]: the index whose value the bit reversal moves to i.
    std::unique_ptr<int32_t[]> reversal;
    // The bit-reversed values on their way to the first stages.
    std::unique_ptr<float[]> workRe;
    std::unique_ptr<float[]> workIm;
    bool wide;
    // Entries each array really holds: a failed resize may leave arrays of
    // different lengths behind, and none may be used beyond its own.
    int32_t reLength;
    int32_t imLength;
    int32_t cosLength;
    int32_t sinLength;
    int32_t stageCosLength;
    int32_t stageSinLength;
    int32_t reversalLength;
    int32_t workReLength;
    int32_t workImLength;
};
