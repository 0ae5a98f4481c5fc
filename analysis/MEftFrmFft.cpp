#include "analysis/MEftFrmFft.h"

#include "analysis/FftKernels.h"
#include "analysis/MEftWinBase.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Gives a the length want, freeing the old array first; false when the new
// one cannot be allocated (a is then left missing).
template <class T>
bool resizeArray(std::unique_ptr<T[]>& a, int32_t& length, int32_t want) {
    if (a != nullptr && length == want) {
        return true;
    }
    a.reset();
    length = 0;
    a.reset(new (std::nothrow) T[static_cast<size_t>(want)]());
    if (a == nullptr) {
        return false;
    }
    length = want;
    return true;
}

} // namespace

MEftFrmFft::MEftFrmFft(const MEftWinBase* owner)
    : MEftFrmBase(owner), log2Size(10), wide(fftKernels::processorHasWideVectors()), reLength(0),
      imLength(0), cosLength(0), sinLength(0), stageCosLength(0), stageSinLength(0),
      reversalLength(0), workReLength(0), workImLength(0) {}

bool MEftFrmFft::useWideVectors(bool on) {
    wide = on && fftKernels::processorHasWideVectors();
    return wide;
}

MEftFrmFft::~MEftFrmFft() = default;

int32_t MEftFrmFft::prepare() {
    const int32_t r = MEftFrmBase::prepare();
    if (r == 0) {
        fillTwiddles();
    }
    return r;
}

int32_t MEftFrmFft::setSize(int32_t n) {
    // The logarithm below has no meaning for n < 1.
    if (n < 1) {
        return MEftBase::kOutOfRange;
    }
    const float lg = std::log10(static_cast<float>(n));
    const float lg2 = std::log10(2.0f);
    const int32_t stages = static_cast<int32_t>(static_cast<double>(lg) / lg2 + 0.5);
    if (stages < 0 || stages > 30 || n != (int32_t{1} << stages)) {
        return MEftBase::kOutOfRange;
    }
    log2Size = stages;
    if (!resizeArray(re, reLength, n) || !resizeArray(im, imLength, n) ||
        !resizeArray(cosTable, cosLength, stages) || !resizeArray(sinTable, sinLength, stages) ||
        !resizeArray(stageCos, stageCosLength, n - 1) ||
        !resizeArray(stageSin, stageSinLength, n - 1) ||
        !resizeArray(reversal, reversalLength, n) || !resizeArray(workRe, workReLength, n) ||
        !resizeArray(workIm, workImLength, n)) {
        return MEftBase::kArrayNotAllocated;
    }
    size = n;
    // The tables must match the new size even when no prepare follows.
    fillReversal();
    fillTwiddles();
    return MEftBase::kSuccess;
}

bool MEftFrmFft::isReady() const {
    return re != nullptr && im != nullptr && cosTable != nullptr && sinTable != nullptr &&
           stageCos != nullptr && stageSin != nullptr && reversal != nullptr && workRe != nullptr &&
           workIm != nullptr && log2Size >= 0 && log2Size <= 30 &&
           size == (int32_t{1} << log2Size) && reLength == size && imLength == size &&
           cosLength == log2Size && sinLength == log2Size && stageCosLength == size - 1 &&
           stageSinLength == size - 1 && reversalLength == size && workReLength == size &&
           workImLength == size;
}

const float* MEftFrmFft::getStageCos(int32_t stage) const {
    if (!isReady() || stage < 1 || stage > log2Size) {
        return nullptr;
    }
    return stageCos.get() + ((int32_t{1} << (stage - 1)) - 1);
}

const float* MEftFrmFft::getStageSin(int32_t stage) const {
    if (!isReady() || stage < 1 || stage > log2Size) {
        return nullptr;
    }
    return stageSin.get() + ((int32_t{1} << (stage - 1)) - 1);
}

void MEftFrmFft::fillTwiddles() {
    if (cosTable == nullptr || sinTable == nullptr || cosLength < log2Size ||
        sinLength < log2Size) {
        return;
    }
    for (int32_t stage = 1; stage <= log2Size; ++stage) {
        const int32_t half = (int32_t{1} << stage) / 2;
        const float angle = 3.1415927f / static_cast<float>(half);
        cosTable[stage - 1] = std::cos(angle);
        sinTable[stage - 1] = -std::sin(angle);
    }
    if (stageCos == nullptr || stageSin == nullptr || size != (int32_t{1} << log2Size) ||
        stageCosLength != size - 1 || stageSinLength != size - 1) {
        return;
    }
    // u runs through the stage exactly as the butterflies' recurrence would
    // turn it: u starts at 1 and becomes u * w after each group of butterflies.
    for (int32_t stage = 1; stage <= log2Size; ++stage) {
        const int32_t half = int32_t{1} << (stage - 1);
        float* ur = stageCos.get() + (half - 1);
        float* ui = stageSin.get() + (half - 1);
        const float wr = cosTable[stage - 1];
        const float wi = sinTable[stage - 1];
        float r = 1.0f;
        float i = 0.0f;
        for (int32_t j = 0; j < half; ++j) {
            ur[j] = r;
            ui[j] = i;
            const float nr = r * wr - i * wi;
            const float ni = i * wr + r * wi;
            r = nr;
            i = ni;
        }
    }
}

void MEftFrmFft::fillReversal() {
    if (reversal == nullptr || reversalLength != size) {
        return;
    }
    // The plain radix-2 transform's in-place swap loop, run on the indices:
    // reversal[i] ends as the index whose value that loop moves to i.
    const int32_t n = size;
    for (int32_t i = 0; i < n; ++i) {
        reversal[i] = i;
    }
    int32_t j = 0;
    for (int32_t i = 0; i < n - 1; ++i) {
        if (j > i) {
            std::swap(reversal[i], reversal[j]);
        }
        int32_t k = n / 2;
        while (k > 0 && j >= k) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
    }
}

void MEftFrmFft::transformFrame(const float* frame, float*) {
    if (frame == nullptr || owner == nullptr || !isReady()) {
        return;
    }
    const int32_t n = owner->getFrameLength();
    const float* window = owner->getWindow();
    // A frame of another length than the arrays would run past them.
    if (n != size || window == nullptr) {
        return;
    }
    if (log2Size >= 2) {
        const bool done =
            wide ? fftKernels::realTransformWide(frame, window, re.get(), im.get(), workRe.get(),
                                                 workIm.get(), reversal.get(), stageCos.get(),
                                                 stageSin.get(), log2Size)
                 : fftKernels::realTransformPortable(frame, window, re.get(), im.get(),
                                                     workRe.get(), workIm.get(), reversal.get(),
                                                     stageCos.get(), stageSin.get(), log2Size);
        if (done) {
            return;
        }
    }
    // Tiny transforms, and frames with huge or non-finite samples, whose
    // imaginary parts must go through every product.
    const size_t count = static_cast<size_t>(n);
    std::memset(im.get(), 0, count * sizeof(float));
    float* __restrict xr = re.get();
    for (size_t i = 0; i < count; ++i) {
        xr[i] = window[i] * frame[i];
    }
    fftInPlace();
}

void MEftFrmFft::fftInPlace() {
    if (!isReady()) {
        return;
    }
    const size_t n = static_cast<size_t>(size);
    float* xr = re.get();
    float* xi = im.get();

    const float* ur = stageCos.get();
    const float* ui = stageSin.get();
    if (wide) {
        fftKernels::transformWide(xr, xi, workRe.get(), workIm.get(), reversal.get(), ur, ui, n);
    } else {
        fftKernels::transformPortable(xr, xi, workRe.get(), workIm.get(), reversal.get(), ur, ui,
                                      n);
    }
}

void MEftFrmFft::inverseInPlace() {
    if (!isReady()) {
        return;
    }
    for (int32_t i = 0; i < size; ++i) {
        im[i] = -im[i];
    }
    fftInPlace();
    const float s = 1.0f / static_cast<float>(size);
    for (int32_t i = 0; i < size; ++i) {
        re[i] = re[i] * s;
        im[i] = im[i] * s;
    }
}
